#pragma once
// Where a program keeps what it must remember between runs (the practice
// program's progress): one text record per program, on this device only.
// Each back end gives its own: a file in the user's data folder for the
// window, the page's localStorage in the browser, memory for headless runs
// (a replay reads and writes nothing unless asked).
#include <memory>
#include <string>

namespace lk {

class Storage {
public:
    virtual ~Storage() = default;
    // False where nothing can be kept (private browsing, a blocked origin, no
    // writable folder): the program still works and says so.
    virtual bool available() const = 0;
    enum class ReadResult { ok, missing, failed };
    virtual ReadResult read(std::string& text) = 0;
    // Replaces the record as a whole: a crash or a full disk midway leaves
    // the old record, never a half-written one.
    virtual bool write(const std::string& text) = 0;
    // Moves a record that could not be understood out of the way, keeping
    // it; `where` says where it went, for the message.
    virtual bool set_aside(std::string& where) = 0;
};

// Keeps the record in memory only.
std::unique_ptr<Storage> memory_storage();
// Keeps the record in a file, written to a temporary file then renamed.
std::unique_ptr<Storage> file_storage(const std::string& path);
// The practice record's file for the desktop: $XDG_DATA_HOME/lessonkit/NAME
// when that is an absolute path, else ~/.local/share/lessonkit/NAME; empty
// when there is no home folder either (a storage of "" is not available).
std::string user_data_path(const std::string& name);
// The user's documents folder (xdg-user-dirs' DOCUMENTS), if it exists;
// empty otherwise.
std::string documents_folder();

}  // namespace lk
