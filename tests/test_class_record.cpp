// The record a student shows the teacher: what goes in comes out, anything
// damaged, cut or foreign is refused with a message, and a record too long
// for one code loses its least telling figures first.
#include <gtest/gtest.h>

#include <random>

#include "engine/practice/class_record.h"
#include "engine/present/qr/qr.h"

namespace {

using namespace lk::practice;

ClassRecord random_record(std::mt19937& random, int sets, int mistakes) {
    auto up_to = [&](int most) { return std::uniform_int_distribution<int>(0, most)(random); };
    ClassRecord r;
    r.seat = up_to(kMaxSeat);
    const std::string label_chars = "0123456789-";
    for (int n = up_to(static_cast<int>(kMaxClassLabel)); n > 0; --n) r.label += label_chars[up_to(10)];
    r.day = day_of_number(20000 + up_to(20000));
    std::vector<int> codes(kMaxSetCode + 1);
    for (int i = 0; i <= kMaxSetCode; ++i) codes[i] = i;
    std::shuffle(codes.begin(), codes.end(), random);
    for (int i = 0; i < sets; ++i) {
        SetFigures s;
        s.set = codes[static_cast<size_t>(i)];
        // Small counts mostly, now and then one that takes several bytes.
        const int most = up_to(9) == 0 ? 999999 : 60;
        for (int* v : {&s.tried, &s.solved, &s.streak, &s.hints, &s.shown, &s.today_tried, &s.today_solved})
            *v = up_to(most);
        s.mastered = up_to(1), s.review_due = up_to(1), s.practise_again = up_to(1);
        for (int n = up_to(3); n > 0; --n) s.last.push_back(static_cast<Ending>(up_to(2)));
        for (int m = 0; m < mistakes; ++m) s.mistakes.emplace_back(1 + up_to(kMaxMistakeCode - 1), 1 + up_to(40));
        r.sets.push_back(s);
    }
    return r;
}

TEST(ClassRecord, WhatFitsComesBackAndAnyDamageIsRefused) {
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        const ClassRecord r = random_record(random, round % 8, round % 3);
        int dropped = -1;
        const auto bytes = encode_class_record(r, &dropped);
        if (dropped != 0) continue;
        ASSERT_LE(bytes.size(), kClassRecordMaxBytes);
        std::string error;
        const auto back = decode_class_record(bytes, error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(*back, r) << round;
        // Through the hand-in file as well, its name spelled from the record.
        const auto from_file = read_class_record_file(class_record_file(r, {"出席番号 " + std::to_string(r.seat)}), error);
        ASSERT_TRUE(from_file) << error;
        EXPECT_EQ(*from_file, r);
        EXPECT_EQ(class_record_file_name(r), (r.label.empty() ? "" : r.label + "-") + std::to_string(r.seat) + "-" +
                                                 r.day + ".txt");
        // Every flipped bit and every cut is refused, never read as another
        // record.
        for (size_t at = 0; at < bytes.size(); ++at) {
            auto damaged = bytes;
            damaged[at] ^= static_cast<std::uint8_t>(1u << (at % 8));
            error.clear();
            EXPECT_FALSE(decode_class_record(damaged, error)) << round << " byte " << at;
            EXPECT_FALSE(error.empty());
            EXPECT_FALSE(decode_class_record(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + at), error));
        }
    }
}

TEST(ClassRecord, ForeignCodesAndNewerFormsAreRefusedInWords) {
    std::string error;
    const std::string url = "https://example.org/";
    EXPECT_FALSE(decode_class_record({url.begin(), url.end()}, error));
    EXPECT_EQ(error, "これは方程式の練習の記録ではありません。");
    EXPECT_FALSE(decode_class_record({}, error));
    EXPECT_FALSE(read_class_record_file("出席番号 3\n", error));
    EXPECT_EQ(error, "このファイルには方程式の練習の記録がありません。");
    EXPECT_FALSE(read_class_record_file("LK-RECORD ***\n", error));

    // A newer form, whole and checked, is named as newer rather than damaged:
    // the page that reads it is the one to bring up to date.
    ClassRecord r;
    r.seat = 7;
    r.day = "2026-12-09";
    auto bytes = encode_class_record(r);
    bytes[2] = kClassRecordForm + 1;
    // Recompute the check value the way any writer of that form would.
    std::uint32_t crc = 0xffffffffu;
    for (size_t i = 0; i + 4 < bytes.size(); ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + static_cast<size_t>(i)] = static_cast<std::uint8_t>(crc >> (8 * i));
    EXPECT_FALSE(decode_class_record(bytes, error));
    EXPECT_NE(error.find("新しい版 2"), std::string::npos) << error;
}

TEST(ClassRecord, ATooLongRecordLosesTheRarestMistakesThenTheLastSets) {
    std::mt19937 random(5);
    ClassRecord r = random_record(random, 14, 6);
    r.sets[0].mistakes = {{1, 50}, {2, 1}};
    int dropped = 0;
    const auto bytes = encode_class_record(r, &dropped);
    ASSERT_LE(bytes.size(), kClassRecordMaxBytes);
    EXPECT_GT(dropped, 0);
    std::string error;
    const auto back = decode_class_record(bytes, error);
    ASSERT_TRUE(back) << error;
    // The first sets stay, and the most frequent mistake is the last to go.
    ASSERT_FALSE(back->sets.empty());
    EXPECT_EQ(back->sets[0].set, r.sets[0].set);
    EXPECT_EQ(back->sets[0].tried, r.sets[0].tried);
    int kept = 0;
    for (const auto& s : back->sets) kept += static_cast<int>(s.mistakes.size());
    const int rarest_kept = [&] {
        int least = 1 << 30;
        for (const auto& s : back->sets)
            for (const auto& m : s.mistakes) least = std::min(least, m.second);
        return least;
    }();
    int more_frequent_dropped = 0;
    for (size_t i = 0; i < back->sets.size(); ++i)
        for (const auto& m : r.sets[i].mistakes)
            if (m.second > rarest_kept &&
                std::find(back->sets[i].mistakes.begin(), back->sets[i].mistakes.end(), m) == back->sets[i].mistakes.end())
                ++more_frequent_dropped;
    EXPECT_EQ(more_frequent_dropped, 0);
    EXPECT_TRUE(kept > 0 || back->sets.size() < r.sets.size());
    // And it fits the largest code the student's screen draws.
    const auto code = lk::encode_qr(bytes);
    ASSERT_TRUE(code);
    EXPECT_LE(code->size, 17 + 4 * lk::kQrMaxVersion);
}

TEST(ClassRecord, DaysAndLabels) {
    for (const char* day : {"1970-01-01", "2000-02-29", "2026-12-09", "2099-12-31"})
        EXPECT_EQ(day_of_number(*day_number_of(day)), day);
    EXPECT_EQ(*day_number_of("1970-01-02"), 1);
    EXPECT_FALSE(day_number_of("2026-13-01"));
    EXPECT_FALSE(day_number_of("yesterday"));
    EXPECT_TRUE(valid_class_label("1-3"));
    EXPECT_TRUE(valid_class_label(""));
    EXPECT_FALSE(valid_class_label("A組"));
    EXPECT_FALSE(valid_class_label("123456789"));
}

}  // namespace
