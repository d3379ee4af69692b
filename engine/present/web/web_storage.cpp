#include "web_storage.h"

#include <cstdlib>
#include <optional>

extern "C" {
int lk_page_store_available(const char* key);
// The record, in memory the caller frees; null when there is none (or -1
// cast to a pointer when it could not be read).
char* lk_page_store_read(const char* key);
int lk_page_store_write(const char* key, const char* text);
// Moves the record to a key of its own; that key, or null.
char* lk_page_store_set_aside(const char* key);
}

namespace lk {

namespace {

std::string take(char* text) {
    std::string out(text);
    std::free(text);
    return out;
}

class PageStorage : public Storage {
public:
    explicit PageStorage(std::string key) : key_(std::move(key)) {}
    // Asked the first time it matters: the browser's first use of its
    // storage takes a while, and a program that keeps no record never pays.
    bool available() const override {
        if (!available_) available_ = lk_page_store_available(key_.c_str()) != 0;
        return *available_;
    }
    ReadResult read(std::string& text) override {
        if (!available()) return ReadResult::failed;
        char* found = lk_page_store_read(key_.c_str());
        if (!found) return ReadResult::missing;
        if (found == reinterpret_cast<char*>(-1)) return ReadResult::failed;
        text = take(found);
        return ReadResult::ok;
    }
    bool write(const std::string& text) override {
        return available() && lk_page_store_write(key_.c_str(), text.c_str()) != 0;
    }
    bool set_aside(std::string& where) override {
        if (!available()) return false;
        char* moved = lk_page_store_set_aside(key_.c_str());
        if (!moved) return false;
        where = "localStorage の " + take(moved);
        return true;
    }

private:
    std::string key_;
    mutable std::optional<bool> available_;
};

}  // namespace

std::unique_ptr<Storage> page_storage(const std::string& key) { return std::make_unique<PageStorage>(key); }

}  // namespace lk
