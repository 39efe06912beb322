// A file another program appends to (a logger, a script): what it has
// gained since the last look, in complete lines. A partial last line waits
// for its end; a file cut short or replaced (rotated, written anew) is
// followed again from its start; a file that is gone is reported and
// followed again when it comes back.
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

namespace brennic {

class TFollowedFile {
public:
    explicit TFollowedFile(std::string path, std::size_t limit);

    enum class TState { Reading, Missing };
    struct TPoll {
        std::string Lines;      // complete lines that arrived, each with its '\n'
        bool Restarted = false;  // the file was cut short or replaced: Lines are from its start
        std::string Note;       // why it restarted, or why nothing can be read
        TState State = TState::Reading;
    };
    // Never waits. Throws EReadError when the file grows past the limit or
    // is not a regular file.
    TPoll Poll();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::size_t limit_;
    off_t offset_ = 0;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool known_ = false;   // device and inode of the file followed
    bool missing_ = false;
    std::string partial_;  // the start of a line without its end yet
};

}  // namespace brennic
