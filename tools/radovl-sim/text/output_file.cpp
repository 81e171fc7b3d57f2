#include "text/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace radovl::tool {

namespace fs = std::filesystem;

OutputFile::~OutputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

void OutputFile::Failed(const char* what, int reason) {
    if (error_.empty()) error_ = std::string(what) + " " + path_ + ": " + std::strerror(reason);
}

bool OutputFile::Open(const std::string& path) {
    path_ = path;
    error_.clear();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        Failed("cannot write", errno);
        return false;
    }
    return true;
}

bool OutputFile::Write(const std::string& bytes) {
    if (file_ == nullptr || failed()) return false;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        Failed("cannot write", errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

bool OutputFile::Close() {
    if (file_ == nullptr) return !failed();
    errno = 0;
    if (std::fflush(file_) != 0) Failed("cannot write", errno != 0 ? errno : EIO);
    if (std::fclose(file_) != 0) Failed("cannot write", errno != 0 ? errno : EIO);
    file_ = nullptr;
    return !failed();
}

void OutputFile::Discard() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!path_.empty()) RemoveIfRegular(path_);
}

void RemoveIfRegular(const std::string& path) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) fs::remove(path, ec);
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
    const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec), ec);
    return pa == pb;
}

}  // namespace radovl::tool
