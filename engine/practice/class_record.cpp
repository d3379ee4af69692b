#include "class_record.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace lk::practice {

namespace {

// The mark that opens every record: no other app's code starts so.
constexpr std::array<std::uint8_t, 2> kMark{'L', 'K'};
// The check value at the end: CRC-32 of everything before it.
constexpr std::size_t kCheckBytes = 4;
// A count beyond this is written as this.
constexpr int kMaxCount = 999999;
// The nibble a label's "-" is written as (digits are themselves).
constexpr std::uint8_t kDashNibble = 10;
// Per set, the first byte: the set code and two flags.
constexpr std::uint8_t kSetCodeMask = 0x3f, kMasteredBit = 0x40, kReviewDueBit = 0x80;
// Per set, the second byte: the endings (count × 27 + a base-3 number of
// up to three digits) and the practise-again flag.
constexpr std::uint8_t kEndingsMask = 0x7f, kPractiseAgainBit = 0x80;
constexpr int kEndingKinds = 3;
constexpr int kEndingsOfCount = 27;
// The line of a record file that holds the binary form.
constexpr std::string_view kFileLinePrefix = "LK-RECORD ";

const char* const kNotARecord = "これは方程式の練習の記録ではありません。";
const char* const kDamaged = "記録がこわれています。もう一度読み取ってください。";
const char* const kCut = "記録が途中で切れています。もう一度読み取ってください。";
const char* const kNoRecordInFile = "このファイルには方程式の練習の記録がありません。";

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put_varint(std::vector<std::uint8_t>& out, int value) {
    auto v = static_cast<std::uint32_t>(std::clamp(value, 0, kMaxCount));
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

int endings_byte(const std::vector<Ending>& last) {
    const std::size_t count = std::min(last.size(), kLastEndings);
    int digits = 0;
    for (std::size_t i = last.size() - count; i < last.size(); ++i)
        digits = digits * kEndingKinds + static_cast<int>(last[i]);
    return static_cast<int>(count) * kEndingsOfCount + digits;
}

std::vector<std::uint8_t> write_form(const ClassRecord& r) {
    std::vector<std::uint8_t> out(kMark.begin(), kMark.end());
    out.push_back(kClassRecordForm);
    out.push_back(static_cast<std::uint8_t>(std::clamp(r.seat, 0, kMaxSeat)));
    const std::string label = valid_class_label(r.label) ? r.label : std::string();
    out.push_back(static_cast<std::uint8_t>(label.size()));
    for (std::size_t i = 0; i < label.size(); i += 2) {
        auto nibble = [&](std::size_t at) -> std::uint8_t {
            if (at >= label.size()) return 0;
            return label[at] == '-' ? kDashNibble : static_cast<std::uint8_t>(label[at] - '0');
        };
        out.push_back(static_cast<std::uint8_t>(nibble(i) << 4 | nibble(i + 1)));
    }
    const int day = std::clamp(day_number_of(r.day).value_or(0), 0, 0xffff);
    out.push_back(static_cast<std::uint8_t>(day & 0xff));
    out.push_back(static_cast<std::uint8_t>(day >> 8));
    out.push_back(static_cast<std::uint8_t>(r.sets.size()));
    for (const auto& s : r.sets) {
        out.push_back(static_cast<std::uint8_t>((s.set & kSetCodeMask) | (s.mastered ? kMasteredBit : 0) |
                                                (s.review_due ? kReviewDueBit : 0)));
        out.push_back(static_cast<std::uint8_t>(endings_byte(s.last) | (s.practise_again ? kPractiseAgainBit : 0)));
        for (int v : {s.tried, s.solved, s.streak, s.hints, s.shown, s.today_tried, s.today_solved}) put_varint(out, v);
        out.push_back(static_cast<std::uint8_t>(s.mistakes.size()));
        for (const auto& [code, count] : s.mistakes) {
            out.push_back(static_cast<std::uint8_t>(code));
            put_varint(out, count);
        }
    }
    const std::uint32_t check = crc32(out.data(), out.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(check >> (8 * i)));
    return out;
}

// Leaves out the least telling figure: the rarest mistake of any set (the
// later set when two are as rare), else the last set. False when nothing is
// left to leave out.
bool leave_out_one(ClassRecord& r) {
    SetFigures* rarest_set = nullptr;
    std::size_t rarest = 0;
    for (auto& s : r.sets)
        for (std::size_t i = 0; i < s.mistakes.size(); ++i)
            if (!rarest_set || s.mistakes[i].second <= rarest_set->mistakes[rarest].second) {
                rarest_set = &s;
                rarest = i;
            }
    if (rarest_set) {
        rarest_set->mistakes.erase(rarest_set->mistakes.begin() + static_cast<std::ptrdiff_t>(rarest));
        return true;
    }
    if (r.sets.empty()) return false;
    r.sets.pop_back();
    return true;
}

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes, std::size_t end) : bytes_(bytes), end_(end) {}
    bool byte(std::uint8_t& out) {
        if (at_ >= end_) return false;
        out = bytes_[at_++];
        return true;
    }
    bool varint(int& out) {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 28; shift += 7) {
            std::uint8_t b = 0;
            if (!byte(b)) return false;
            value |= static_cast<std::uint32_t>(b & 0x7f) << shift;
            if (!(b & 0x80)) {
                if (value > static_cast<std::uint32_t>(kMaxCount)) return false;
                out = static_cast<int>(value);
                return true;
            }
        }
        return false;
    }
    bool done() const { return at_ == end_; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t end_;
    std::size_t at_ = 0;
};

constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string to_base64(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 3; ++k) v = v << 8 | (k < n ? bytes[i + k] : 0);
        for (std::size_t k = 0; k <= n; ++k) out += kBase64[(v >> (18 - 6 * k)) & 0x3f];
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> from_base64(std::string_view text) {
    std::vector<std::uint8_t> out;
    std::uint32_t v = 0;
    int bits = 0;
    for (char c : text) {
        const auto at = kBase64.find(c);
        if (at == std::string_view::npos) return std::nullopt;
        v = v << 6 | static_cast<std::uint32_t>(at);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>(v >> bits));
            v &= (1u << bits) - 1;
        }
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> encode_class_record(const ClassRecord& record, int* dropped) {
    ClassRecord fitted = record;
    fitted.sets.resize(std::min<std::size_t>(fitted.sets.size(), 0xff));
    int left_out = static_cast<int>(record.sets.size() - fitted.sets.size());
    for (auto& s : fitted.sets) {
        s.set = std::clamp(s.set, 0, kMaxSetCode);
        std::erase_if(s.mistakes, [](const auto& m) { return m.first < 1 || m.first > kMaxMistakeCode || m.second <= 0; });
        if (s.mistakes.size() > 0xff) {
            left_out += static_cast<int>(s.mistakes.size() - 0xff);
            s.mistakes.resize(0xff);
        }
    }
    std::vector<std::uint8_t> out = write_form(fitted);
    while (out.size() > kClassRecordMaxBytes && leave_out_one(fitted)) {
        ++left_out;
        out = write_form(fitted);
    }
    if (dropped) *dropped = left_out;
    return out;
}

std::optional<ClassRecord> decode_class_record(const std::vector<std::uint8_t>& bytes, std::string& error) {
    if (bytes.size() < kMark.size() || !std::equal(kMark.begin(), kMark.end(), bytes.begin())) {
        error = kNotARecord;
        return std::nullopt;
    }
    if (bytes.size() < kMark.size() + 1 + kCheckBytes) {
        error = kCut;
        return std::nullopt;
    }
    const std::size_t body = bytes.size() - kCheckBytes;
    std::uint32_t check = 0;
    for (std::size_t i = 0; i < kCheckBytes; ++i) check |= static_cast<std::uint32_t>(bytes[body + i]) << (8 * i);
    const int form = bytes[kMark.size()];
    if (check != crc32(bytes.data(), body)) {
        error = kDamaged;
        return std::nullopt;
    }
    if (form != kClassRecordForm) {
        error = "この記録は新しい版 " + std::to_string(form) + " の形式です。このページを新しくしてください。";
        return std::nullopt;
    }
    Reader in(bytes, body);
    std::uint8_t b = 0;
    for (std::size_t i = 0; i <= kMark.size(); ++i) in.byte(b);
    ClassRecord r;
    auto fail = [&] {
        error = kDamaged;
        return std::nullopt;
    };
    std::uint8_t seat = 0, label_size = 0;
    if (!in.byte(seat) || seat > kMaxSeat || !in.byte(label_size) || label_size > kMaxClassLabel) return fail();
    r.seat = seat;
    for (int i = 0; i < label_size; i += 2) {
        if (!in.byte(b)) return fail();
        for (int half = 0; half < 2 && i + half < label_size; ++half) {
            const int nibble = half == 0 ? b >> 4 : b & 0xf;
            if (nibble > kDashNibble) return fail();
            r.label += nibble == kDashNibble ? '-' : static_cast<char>('0' + nibble);
        }
    }
    std::uint8_t lo = 0, hi = 0, sets = 0;
    if (!in.byte(lo) || !in.byte(hi) || !in.byte(sets)) return fail();
    r.day = day_of_number(lo | hi << 8);
    for (int i = 0; i < sets; ++i) {
        SetFigures s;
        std::uint8_t head = 0, endings = 0, mistakes = 0;
        if (!in.byte(head) || !in.byte(endings)) return fail();
        s.set = head & kSetCodeMask;
        s.mastered = head & kMasteredBit;
        s.review_due = head & kReviewDueBit;
        s.practise_again = endings & kPractiseAgainBit;
        const int count = (endings & kEndingsMask) / kEndingsOfCount;
        int digits = (endings & kEndingsMask) % kEndingsOfCount;
        if (count > static_cast<int>(kLastEndings)) return fail();
        s.last.resize(static_cast<std::size_t>(count));
        for (int k = count - 1; k >= 0; --k, digits /= kEndingKinds)
            s.last[static_cast<std::size_t>(k)] = static_cast<Ending>(digits % kEndingKinds);
        if (digits != 0) return fail();
        for (int* v : {&s.tried, &s.solved, &s.streak, &s.hints, &s.shown, &s.today_tried, &s.today_solved})
            if (!in.varint(*v)) return fail();
        if (!in.byte(mistakes)) return fail();
        for (int m = 0; m < mistakes; ++m) {
            std::uint8_t code = 0;
            int times = 0;
            if (!in.byte(code) || code == 0 || !in.varint(times) || times == 0) return fail();
            s.mistakes.emplace_back(code, times);
        }
        for (const auto& seen : r.sets)
            if (seen.set == s.set) return fail();
        r.sets.push_back(std::move(s));
    }
    if (!in.done()) return fail();
    return r;
}

std::string class_record_file(const ClassRecord& record, const std::vector<std::string>& words) {
    std::string out;
    for (const auto& line : words) out += line + "\n";
    out += std::string(kFileLinePrefix) + to_base64(encode_class_record(record)) + "\n";
    return out;
}

std::string class_record_file_name(const ClassRecord& record) {
    std::string name = record.label.empty() ? "" : record.label + "-";
    return name + std::to_string(record.seat) + "-" + record.day + ".txt";
}

std::optional<ClassRecord> read_class_record_file(std::string_view text, std::string& error) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
        if (line.substr(0, kFileLinePrefix.size()) != kFileLinePrefix) continue;
        const auto bytes = from_base64(line.substr(kFileLinePrefix.size()));
        if (!bytes) {
            error = kDamaged;
            return std::nullopt;
        }
        return decode_class_record(*bytes, error);
    }
    error = kNoRecordInFile;
    return std::nullopt;
}

bool valid_class_label(std::string_view label) {
    return label.size() <= kMaxClassLabel &&
           std::all_of(label.begin(), label.end(), [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
}

// Howard Hinnant's days-from-civil, for the proleptic Gregorian calendar.
std::optional<int> day_number_of(std::string_view day) {
    int y = 0, m = 0, d = 0;
    if (day.size() != 10 || day[4] != '-' || day[7] != '-') return std::nullopt;
    auto number = [&](std::size_t at, std::size_t n, int& out) {
        auto [p, ec] = std::from_chars(day.data() + at, day.data() + at + n, out);
        return ec == std::errc() && p == day.data() + at + n;
    };
    if (!number(0, 4, y) || !number(5, 2, m) || !number(8, 2, d) || m < 1 || m > 12 || d < 1 || d > 31)
        return std::nullopt;
    y -= m <= 2;
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string day_of_number(int days) {
    days += 719468;
    const int era = days / 146097;
    const int doe = days - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int d = doy - (153 * mp + 2) / 5 + 1;
    const int m = mp + (mp < 10 ? 3 : -9);
    const int y = yoe + era * 400 + (m <= 2);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return text;
}

}  // namespace lk::practice
