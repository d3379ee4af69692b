#include "engine/present/storage.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string_view>

namespace lk {

namespace {

// No record is this large; a file that is gets read only this far, and the
// reader of the record then refuses it as damaged.
constexpr std::size_t kMaxReadBytes = 16u << 20;

class MemoryStorage : public Storage {
public:
    bool available() const override { return true; }
    ReadResult read(std::string& text) override {
        if (!record_) return ReadResult::missing;
        text = *record_;
        return ReadResult::ok;
    }
    bool write(const std::string& text) override {
        record_ = text;
        return true;
    }
    bool set_aside(std::string& where) override {
        if (!record_) return false;
        aside_ = std::move(*record_);
        record_.reset();
        where = "(メモリー)";
        return true;
    }

private:
    std::optional<std::string> record_;
    std::optional<std::string> aside_;
};

std::string folder_of(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool is_folder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p: true when the folder exists afterwards.
bool make_folders(const std::string& folder) {
    if (folder.empty() || is_folder(folder)) return !folder.empty();
    const std::string parent = folder_of(folder);
    if (parent != folder && !make_folders(parent)) return false;
    return ::mkdir(folder.c_str(), 0755) == 0 || (errno == EEXIST && is_folder(folder));
}

bool write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

class FileStorage : public Storage {
public:
    explicit FileStorage(std::string path) : path_(std::move(path)), folder_(folder_of(path_)) {
        available_ = !path_.empty() && path_.back() != '/' && make_folders(folder_) &&
                     ::access(folder_.c_str(), W_OK | X_OK) == 0;
    }

    bool available() const override { return available_; }

    ReadResult read(std::string& text) override {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return errno == ENOENT ? ReadResult::missing : ReadResult::failed;
        std::string got;
        char buffer[8192];
        bool ok = true;
        while (got.size() <= kMaxReadBytes) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        if (!ok) return ReadResult::failed;
        text = std::move(got);
        return ReadResult::ok;
    }

    bool write(const std::string& text) override {
        if (path_.empty() || !make_folders(folder_)) return false;
        const std::string temp = path_ + ".tmp-" + std::to_string(::getpid());
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) return false;
        bool ok = write_all(fd, text) && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
        if (ok) ok = ::rename(temp.c_str(), path_.c_str()) == 0;
        if (!ok) {
            ::unlink(temp.c_str());
            return false;
        }
        // The rename itself is made durable with the folder.
        const int dir = ::open(folder_.c_str(), O_RDONLY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        available_ = true;
        return true;
    }

    bool set_aside(std::string& where) override {
        if (!exists(path_)) return false;
        char stamp[32];
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        if (!::localtime_r(&now, &local) || std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local) == 0)
            std::snprintf(stamp, sizeof stamp, "%lld", static_cast<long long>(now));
        const std::string base = path_ + ".damaged-" + stamp;
        // Never over an earlier damaged file set aside in the same second.
        for (int i = 1; i <= 100; ++i) {
            const std::string target = i == 1 ? base : base + "-" + std::to_string(i);
            if (exists(target)) continue;
            if (::rename(path_.c_str(), target.c_str()) != 0) return false;
            where = target;
            return true;
        }
        return false;
    }

private:
    std::string path_;
    std::string folder_;
    bool available_ = false;
};

}  // namespace

std::unique_ptr<Storage> memory_storage() { return std::make_unique<MemoryStorage>(); }

std::unique_ptr<Storage> file_storage(const std::string& path) { return std::make_unique<FileStorage>(path); }

namespace {

std::string home_folder() {
    if (const char* h = std::getenv("HOME"); h && h[0] == '/') return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
    return "";
}

}  // namespace

std::string user_data_path(const std::string& name) {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/lessonkit/" + name;
    const std::string home = home_folder();
    if (home.empty()) return "";
    return home + "/.local/share/lessonkit/" + name;
}

std::string documents_folder() {
    const std::string home = home_folder();
    if (home.empty()) return "";
    // user-dirs.dirs holds lines such as XDG_DOCUMENTS_DIR="$HOME/書類".
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string dirs = (config && config[0] == '/' ? std::string(config) : home + "/.config") + "/user-dirs.dirs";
    std::FILE* f = std::fopen(dirs.c_str(), "r");
    if (!f) return "";
    std::string found;
    char line[1024];
    while (std::fgets(line, sizeof line, f)) {
        std::string_view l(line);
        while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.remove_suffix(1);
        const std::string_view key = "XDG_DOCUMENTS_DIR=\"";
        if (l.substr(0, key.size()) != key || l.size() < key.size() + 1 || l.back() != '"') continue;
        std::string dir(l.substr(key.size(), l.size() - key.size() - 1));
        if (dir.rfind("$HOME", 0) == 0) dir = home + dir.substr(5);
        // A documents folder that is the home folder itself is no folder of its own.
        if (dir != home && dir != home + "/" && is_folder(dir)) found = dir;
    }
    std::fclose(f);
    return found;
}

}  // namespace lk
