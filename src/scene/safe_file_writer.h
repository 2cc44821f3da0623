// Writes a file so that it is either replaced whole or left as it was: a temporary file beside it,
// flushed to disk, then renamed over it.
#pragma once

#include <memory>
#include <ostream>
#include <string>

class SafeFileWriter {
public:
    // Nothing happens on disk until open().
    explicit SafeFileWriter(std::string path);
    // A temporary file that was not committed is removed.
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file in the target's folder. Writing through a symbolic link replaces the
    // file it points to (a dangling link gets its file created); a replaced file keeps its owner and
    // group where the system allows, and its permissions. A file whose owner may not write it is
    // refused, and stays as it is.
    bool open();
    // Buffered output into the temporary file; valid after a successful open(). A failed write shows
    // in commit().
    std::ostream& stream();
    // Flushes and syncs the temporary file, then renames it over the target. On failure the
    // temporary file is removed and the target is untouched.
    bool commit();

    // Why open() or commit() failed, naming the file and the system's reason.
    const std::string& error() const { return error_; }
    // Bytes handed to the file so far.
    long long bytesWritten() const;

private:
    class Buffer;
    bool fail(std::string message);
    void abandon();

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    bool committed_ = false;
    std::string error_;
    std::unique_ptr<Buffer> buffer_;
    std::unique_ptr<std::ostream> stream_;
};
