// Crash-safe file replacement: temporary file, fsync, rename, fsync of the folder.
#include "scene/safe_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <streambuf>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemError(const std::string& what, const std::string& path, int code) {
    return what + " " + path + ": " + std::strerror(code);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write through symbolic links must replace, whether or not it exists yet: a dangling link
// gets its file created rather than being replaced itself.
bool followLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        char link[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), link, sizeof link);
        if (length < 0)
            return false;
        if (static_cast<std::size_t>(length) == sizeof link) {
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string target(link, static_cast<std::size_t>(length));
        if (target[0] == '/') {
            path = target;
        } else {
            const std::string folder = folderOf(path);
            path = (folder == "/" ? "" : folder) + "/" + target;
        }
    }
    errno = ELOOP;
    return false;
}

} // namespace

// A stream buffer straight onto the file descriptor; the first failed write is kept, later output
// is dropped.
class SafeFileWriter::Buffer : public std::streambuf {
public:
    explicit Buffer(int fd) : fd_(fd), bytes_(1 << 16) { setp(bytes_.data(), bytes_.data() + bytes_.size()); }

    int failure() const { return failure_; }
    // The file's size once the buffer is drained.
    long long written() const { return std::max(size_, position_ + (pptr() - pbase())); }

protected:
    int_type overflow(int_type c) override {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                     std::ios_base::openmode which) override {
        if (!(which & std::ios_base::out) || !drain())
            return pos_type(off_type(-1));
        if (offset == 0 && direction == std::ios_base::cur)
            return pos_type(position_);
        const int whence = direction == std::ios_base::beg   ? SEEK_SET
                           : direction == std::ios_base::cur ? SEEK_CUR
                                                             : SEEK_END;
        const off_t at = ::lseek(fd_, static_cast<off_t>(offset), whence);
        if (at < 0) {
            failure_ = errno;
            return pos_type(off_type(-1));
        }
        position_ = at;
        return pos_type(position_);
    }
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override {
        return seekoff(off_type(position), std::ios_base::beg, which);
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        // Large blocks skip the buffer.
        if (size >= static_cast<std::streamsize>(bytes_.size())) {
            if (!drain() || !writeAll(data, static_cast<std::size_t>(size)))
                return 0;
            advance(size);
            return size;
        }
        return std::streambuf::xsputn(data, size);
    }

private:
    bool drain() {
        const std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
        if (pending > 0 && !writeAll(pbase(), pending))
            return false;
        advance(static_cast<long long>(pending));
        setp(bytes_.data(), bytes_.data() + bytes_.size());
        return true;
    }
    void advance(long long bytes) {
        position_ += bytes;
        size_ = std::max(size_, position_);
    }
    bool writeAll(const char* data, std::size_t size) {
        if (failure_ != 0)
            return false;
        while (size > 0) {
            const ssize_t done = ::write(fd_, data, size);
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0) {
                failure_ = done < 0 ? errno : EIO;
                return false;
            }
            data += done;
            size -= static_cast<std::size_t>(done);
        }
        return true;
    }

    int fd_;
    std::vector<char> bytes_;
    long long position_ = 0;
    long long size_ = 0;
    int failure_ = 0;
};

SafeFileWriter::SafeFileWriter(std::string path)
    : target_(std::move(path)), stream_(std::make_unique<std::ostream>(nullptr)) {}

SafeFileWriter::~SafeFileWriter() {
    abandon();
}

bool SafeFileWriter::fail(std::string message) {
    error_ = std::move(message);
    return false;
}

void SafeFileWriter::abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    stream_->rdbuf(nullptr);
    buffer_.reset();
}

bool SafeFileWriter::open() {
    if (target_.empty())
        return fail("no file name to write to");
    if (fd_ >= 0)
        return true;

    // Writing through a symbolic link replaces the file it points to, not the link.
    if (!followLinks(target_))
        return fail(systemError("cannot follow the link", target_, errno));
    struct stat info {};
    const bool exists = ::stat(target_.c_str(), &info) == 0;
    // The rename would replace a file the user made read-only as readily as any other. Root may write
    // anything, so the owner's permission bit is what tells, besides access() for everyone else.
    if (exists && S_ISREG(info.st_mode) &&
        (!(info.st_mode & S_IWUSR) || (::access(target_.c_str(), W_OK) != 0 && errno != ENOENT)))
        return fail("cannot save over " + target_ + ": the file is read-only");

    static unsigned counter = 0;
    int code = 0;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = target_ + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter++);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        code = errno;
        if (fd_ < 0 && code != EEXIST)
            break;
    }
    if (fd_ < 0) {
        const std::string tried = temporary_;
        temporary_.clear();
        return fail(systemError("cannot create", tried, code));
    }
    // A replaced file keeps its owner and group where this user may give them, then its permissions
    // (after the owner: a change of owner clears the set-user-ID bits).
    const bool replacing = exists && S_ISREG(info.st_mode);
    if (replacing && ::fchown(fd_, info.st_uid, info.st_gid) != 0 &&
        ::fchown(fd_, static_cast<uid_t>(-1), info.st_gid) != 0) {
        // Neither allowed: the new file is this user's, as any file they create would be.
    }
    if (replacing && ::fchmod(fd_, info.st_mode & 07777) != 0) {
        const std::string message = systemError("cannot set the permissions of", temporary_, errno);
        abandon();
        return fail(message);
    }
    buffer_ = std::make_unique<Buffer>(fd_);
    stream_->rdbuf(buffer_.get());
    stream_->clear();
    return true;
}

std::ostream& SafeFileWriter::stream() {
    return *stream_;
}

long long SafeFileWriter::bytesWritten() const {
    return buffer_ ? buffer_->written() : 0;
}

bool SafeFileWriter::commit() {
    if (fd_ < 0)
        return fail(error_.empty() ? "nothing to commit: " + target_ + " was not opened" : error_);
    stream_->flush();
    std::string message;
    if (buffer_->failure() != 0)
        message = systemError("cannot write", temporary_, buffer_->failure());
    else if (!*stream_)
        message = "cannot write " + temporary_ + ": the output stream failed";
    else if (::fsync(fd_) != 0)
        message = systemError("cannot flush", temporary_, errno);
    const int closed = ::close(fd_);
    const int closeCode = errno;
    fd_ = -1;
    if (message.empty() && closed != 0)
        message = systemError("cannot close", temporary_, closeCode);
    if (message.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0)
        message = systemError("cannot replace", target_, errno);
    if (!message.empty()) {
        abandon();
        return fail(message);
    }
    committed_ = true;
    stream_->rdbuf(nullptr);
    // Make the rename itself durable; the new file is complete whether or not this succeeds.
    const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    error_.clear();
    return true;
}
