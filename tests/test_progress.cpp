// The practice record: how a finished problem is counted, the file's text
// and its reader, and where the file is kept.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/practice/progress.h"
#include "engine/present/storage.h"

namespace {

using namespace lk::practice;

TEST(Progress, StreakAndMastery) {
    SetProgress set;
    const Outcome first_try{true, true}, after_hint{true, false}, not_solved{false, false};
    const struct {
        Outcome outcome;
        int streak;
        bool mastered;
    } steps[] = {
        {first_try, 1, false},  {first_try, 2, false}, {after_hint, 0, false}, {first_try, 1, false},
        {first_try, 2, false},  {first_try, 3, true},  {not_solved, 0, true},  {first_try, 1, true},
    };
    int day = 1;
    for (const auto& step : steps) {
        const std::string today = "2026-12-0" + std::to_string(day++);
        record(set, step.outcome, 3, today);
        EXPECT_EQ(set.streak, step.streak) << today;
        EXPECT_EQ(set.mastered, step.mastered) << today;
        EXPECT_EQ(set.last_day, today);
    }
    EXPECT_EQ(set.tried, 8);
    EXPECT_EQ(set.solved, 7);
}

// The help, the mistakes, today's figures and the endings of a set; the
// reviews of a ★ set; a version 1 file read into version 2.
TEST(Progress, HelpMistakesTodayReviewsAndVersion1) {
    using E = ProblemEnding;
    SetProgress set;
    record(set, {true, false, 2, false, {1}}, 2, "2026-12-01");
    record(set, {false, false, 4, true, {1, 5}}, 2, "2026-12-01");
    EXPECT_EQ(set.hints, 6);
    EXPECT_EQ(set.shown, 1);
    EXPECT_EQ(set.mistakes, (std::map<int, int>{{1, 2}, {5, 1}}));
    EXPECT_EQ(tried_today(set, "2026-12-01"), 2);
    EXPECT_EQ(solved_today(set, "2026-12-01"), 0);  // solved, but after hints
    record(set, {true, true}, 2, "2026-12-02");
    record(set, {true, true}, 2, "2026-12-02");
    EXPECT_TRUE(set.mastered);
    EXPECT_EQ(tried_today(set, "2026-12-02"), 2);
    EXPECT_EQ(tried_today(set, "2026-12-03"), 0);
    EXPECT_EQ(set.last, (std::vector<E>{E::answer_shown, E::first_try, E::first_try}));

    // Due 7 days after the last practice; a review solved at once moves it
    // to 30 days after.
    EXPECT_FALSE(review_due(set, "2026-12-08"));
    EXPECT_TRUE(review_due(set, "2026-12-09"));
    record(set, {true, true}, 2, "2026-12-09");
    EXPECT_EQ(set.reviews, 1);
    EXPECT_FALSE(review_due(set, "2027-01-07"));
    EXPECT_TRUE(review_due(set, "2027-01-08"));
    // A missed review keeps the ★ and asks for practice, until a new run.
    record(set, {true, false, 1}, 2, "2027-01-08");
    EXPECT_TRUE(set.mastered);
    EXPECT_TRUE(set.practise_again);
    EXPECT_EQ(set.reviews, 1);
    record(set, {true, true}, 2, "2027-01-08");
    EXPECT_TRUE(set.practise_again);
    record(set, {true, true}, 2, "2027-01-08");
    EXPECT_FALSE(set.practise_again);

    const std::string v1 = "{\"version\": 1, \"sets\": {\"solve-x-plus-b\": {\"tried\": 5, \"solved\": 4, "
                           "\"streak\": 3, \"mastered\": true, \"last_day\": \"2026-11-30\"}}}";
    Progress read;
    std::string error;
    ASSERT_TRUE(from_json(v1, read, error)) << error;
    const SetProgress& converted = read.sets["solve-x-plus-b"];
    EXPECT_EQ(converted.tried, 5);
    EXPECT_EQ(converted.solved, 4);
    EXPECT_TRUE(converted.mastered);
    EXPECT_TRUE(review_due(converted, "2026-12-09"));
    const std::string v2 = to_json(read);
    EXPECT_NE(v2.find("\"version\": 2"), std::string::npos);
    Progress again;
    ASSERT_TRUE(from_json(v2, again, error)) << error;
    EXPECT_EQ(again, read);
}

TEST(Progress, FileTextRoundTripAndDamage) {
    Progress saved;
    saved.seat = 12;
    saved.class_label = "1-3";
    record(saved.sets["solve.linear"], {true, true, 0, false, {5}}, 5, "2026-12-08");
    record(saved.sets["apply.\"quoted\"\\\n"], {false, false}, 5, "2026-12-07");
    saved.sets["比例と反比例"] = {1000000000, 999999999, 12, true, ""};
    const std::string text = to_json(saved);

    Progress read;
    std::string error;
    ASSERT_TRUE(from_json(text, read, error)) << error;
    EXPECT_EQ(to_json(read), text);
    ASSERT_EQ(read.sets.size(), 3u);
    const SetProgress& big = read.sets["比例と反比例"];
    EXPECT_EQ(big.tried, 1000000000);
    EXPECT_EQ(big.solved, 999999999);
    EXPECT_EQ(big.streak, 12);
    EXPECT_TRUE(big.mastered);
    EXPECT_EQ(read.sets["solve.linear"].last_day, "2026-12-08");

    // The most a file may hold reads; one more set, or a longer name, does not.
    Progress full;
    for (int i = 0; i < 1000; ++i) full.sets[std::string(60, 'a') + std::to_string(1000 + i)] = {};
    ASSERT_TRUE(from_json(to_json(full), read, error)) << error;
    EXPECT_EQ(read.sets.size(), 1000u);

    std::vector<std::string> damaged;
    for (std::size_t cut = 0; cut + 2 < text.size(); ++cut) damaged.push_back(text.substr(0, cut));
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const auto at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return t.replace(at, from.size(), to);
    };
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"\"version\": 2", "\"version\": 3"},
             {"\"version\": 2", "\"version\": 0"},
             {"\"version\": 2", "\"version\": \"2\""},
             {"\"version\": 2", "\"version\": 2.0"},
             {"\"version\": 2,", ""},
             {"\"version\": 2", "\"version\": 2, \"version\": 2"},
             {"\"version\": 2", "\"version\": 2, \"extra\": 1"},
             {"\"version\": 2", "\"version\": 1"},  // a set's later fields in a version 1 file
             {"\"seat\": 12", "\"seat\": 51"},
             {"\"class\": \"1-3\"", "\"class\": \"1A\""},
             {"\"mistakes\": {\"5\": 1}", "\"mistakes\": {\"0\": 1}"},
             {"\"mistakes\": {\"5\": 1}", "\"mistakes\": {\"5\": 0}"},
             {"\"last\": [0]", "\"last\": [0, 1, 2, 1]"},
             {"\"last\": [0]", "\"last\": [3]"},
             {"\"tried\": 1,", "\"tried\": \"1\","},
             {"\"tried\": 1,", "\"tried\": -1,"},
             {"\"tried\": 1,", "\"tried\": 1e0,"},
             {"\"tried\": 1000000000", "\"tried\": 1000000001"},
             {"\"solved\": 1,", "\"solved\": 2,"},  // more solved than tried
             {"\"mastered\": false", "\"mastered\": 0"},
             {"\"last_day\": \"2026-12-08\"", "\"last_day\": \"08.12.2026\""},
             {"\"last_day\": \"2026-12-08\"", "\"last_day\": null"},
             {"\"streak\": 12,", ""},
             {"\"streak\": 12,", "\"streak\": 12, \"hint\": 1,"},
             {"\"sets\": {", "\"sets\": [{"},
             {"solve.linear", std::string(65, 's')},
             {"solve.linear", "solve\xC0\xAF"},  // not UTF-8
             {"solve.linear", "solve\\ud800"},   // half a character
             {"}\n}", "}\n}}"},
             {"}\n}", "}\n},"},
         })
        damaged.push_back(replaced(from, to));
    damaged.push_back("");
    damaged.push_back("\xEF\xBB\xBF" + text);
    damaged.push_back("[]");
    damaged.push_back(std::string(100000, '[') + std::string(100000, ']'));
    damaged.push_back("{\"version\": 2, \"sets\": {" + std::string(100000, '{'));
    std::string many = "{\"version\": 1, \"sets\": {";
    for (int i = 0; i < 1001; ++i) many += (i ? ",\"" : "\"") + std::to_string(i) + "\": {\"tried\": 0, \"solved\": 0, \"streak\": 0, \"mastered\": false, \"last_day\": \"\"}";
    damaged.push_back(many + "}}");
    damaged.push_back(std::string(2 << 20, ' ') + text);
    const std::string before = to_json(saved);
    for (const auto& bad : damaged) {
        error.clear();
        EXPECT_FALSE(from_json(bad, saved, error)) << bad.substr(0, 200);
        EXPECT_FALSE(error.empty()) << bad.substr(0, 200);
        EXPECT_EQ(to_json(saved), before) << "changed by " << bad.substr(0, 200);
    }

    // Random bytes, and the file with one byte changed: refused, or (a digit
    // for a digit) read as a record that is written and read back the same.
    std::mt19937 random(8);
    for (int i = 0; i < 400; ++i) {
        std::string bytes(random() % 300, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        if (i % 2) {
            bytes = text;
            bytes[random() % bytes.size()] = static_cast<char>(random());
        }
        Progress got = saved;
        if (from_json(bytes, got, error)) {
            Progress again;
            ASSERT_TRUE(from_json(to_json(got), again, error)) << error;
            EXPECT_EQ(to_json(again), to_json(got));
        } else {
            EXPECT_EQ(to_json(got), before);
        }
    }
}

// ---- Storage ----

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* e = readdir(dir))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Storage, FileIsReplacedWholeAndSetAside) {
    char root_template[] = "/tmp/lessonkit-storage-XXXXXX";
    const std::string root = mkdtemp(root_template);
    const std::string folder = root + "/data/lessonkit";
    const std::string path = folder + "/progress.json";

    auto storage = lk::file_storage(path);
    ASSERT_TRUE(storage->available());  // the folders were made
    std::string text;
    EXPECT_EQ(storage->read(text), lk::Storage::ReadResult::missing);
    ASSERT_TRUE(storage->write("first"));
    ASSERT_TRUE(storage->write("second record"));
    EXPECT_EQ(storage->read(text), lk::Storage::ReadResult::ok);
    EXPECT_EQ(text, "second record");
    EXPECT_EQ(entries(folder), std::vector<std::string>{"progress.json"});  // no temporary file left

    // A write that cannot finish leaves the old record.
    ASSERT_EQ(mkdir((path + ".tmp-" + std::to_string(getpid())).c_str(), 0700), 0);
    EXPECT_FALSE(storage->write("third"));
    EXPECT_EQ(slurp(path), "second record");
    rmdir((path + ".tmp-" + std::to_string(getpid())).c_str());

    // A damaged record is moved aside with its bytes, twice in the same
    // second without one replacing the other.
    std::string where, where2;
    ASSERT_TRUE(storage->set_aside(where));
    EXPECT_EQ(where.rfind(path + ".damaged-", 0), 0u) << where;
    EXPECT_EQ(slurp(where), "second record");
    EXPECT_EQ(storage->read(text), lk::Storage::ReadResult::missing);
    EXPECT_FALSE(storage->set_aside(where2));
    ASSERT_TRUE(storage->write("again"));
    ASSERT_TRUE(storage->set_aside(where2));
    EXPECT_NE(where2, where);
    EXPECT_EQ(slurp(where), "second record");
    EXPECT_EQ(slurp(where2), "again");

    // A folder that cannot be made: nothing is kept, and the program is told.
    std::ofstream(root + "/file") << "x";
    auto blocked = lk::file_storage(root + "/file/sub/progress.json");
    EXPECT_FALSE(blocked->available());
    EXPECT_FALSE(blocked->write("x"));
    EXPECT_EQ(blocked->read(text), lk::Storage::ReadResult::failed);

    auto memory = lk::memory_storage();
    EXPECT_EQ(memory->read(text), lk::Storage::ReadResult::missing);
    ASSERT_TRUE(memory->write("kept"));
    EXPECT_EQ(memory->read(text), lk::Storage::ReadResult::ok);
    EXPECT_EQ(text, "kept");
    EXPECT_TRUE(memory->set_aside(where));
    EXPECT_EQ(memory->read(text), lk::Storage::ReadResult::missing);

    std::system(("rm -rf " + root).c_str());
}

TEST(Storage, UserDataPath) {
    const char* old_data = std::getenv("XDG_DATA_HOME");
    const std::string saved_data = old_data ? old_data : "";
    const char* old_home = std::getenv("HOME");
    const std::string saved_home = old_home ? old_home : "";
    setenv("HOME", "/home/student", 1);
    setenv("XDG_DATA_HOME", "/data/here", 1);
    EXPECT_EQ(lk::user_data_path("progress.json"), "/data/here/lessonkit/progress.json");
    setenv("XDG_DATA_HOME", "relative", 1);
    EXPECT_EQ(lk::user_data_path("progress.json"), "/home/student/.local/share/lessonkit/progress.json");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(lk::user_data_path("progress.json"), "/home/student/.local/share/lessonkit/progress.json");
    if (old_data) setenv("XDG_DATA_HOME", saved_data.c_str(), 1);
    if (old_home) setenv("HOME", saved_home.c_str(), 1);
    else unsetenv("HOME");
}

}  // namespace
