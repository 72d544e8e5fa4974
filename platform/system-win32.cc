#include "platform/system.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

#include <algorithm>

namespace platform {
namespace {

std::string last_error_text() {
  DWORD code = GetLastError();
  char* text = nullptr;
  DWORD size = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = size ? std::string(text, size) : "error " + std::to_string(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == '.'))
    message.pop_back();
  return message;
}

bool is_file(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string getenv_or(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value ? value : fallback;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// The path with links and junctions resolved, without the \\?\ prefix.
std::optional<std::string> final_path(const std::string& path) {
  HANDLE handle =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  char buffer[32768];
  DWORD got = GetFinalPathNameByHandleA(handle, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
  CloseHandle(handle);
  if (got == 0 || got >= sizeof buffer) return std::nullopt;
  std::string resolved(buffer, got);
  if (resolved.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + resolved.substr(8);
  if (resolved.rfind("\\\\?\\", 0) == 0) return resolved.substr(4);
  return resolved;
}

// The interpreter: COMSPEC when it names an existing program, else cmd.exe
// from the current directory, then from PATH. Returns the program to start
// and the name that heads its command line.
bool find_interpreter(std::string& program, std::string& name) {
  if (const char* comspec = std::getenv("COMSPEC"); comspec && *comspec &&
                                                    is_file(comspec)) {
    program = name = comspec;
    return true;
  }
  name = "cmd.exe";
  if (is_file(name)) {
    program = name;
    return true;
  }
  for (std::string dir : split(getenv_or("PATH", ""), ';')) {
    if (dir.empty()) continue;
    if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
    if (is_file(dir + name)) {
      program = dir + name;
      return true;
    }
  }
  return false;
}

// Windows keeps removing through rd, so this one works by path; it still
// never enters or follows a junction or a directory link.
class WinDirectory : public Directory {
 public:
  explicit WinDirectory(std::string path) : path_(std::move(path)) {}

  bool list(std::vector<DirEntry>& entries, std::string& error) override {
    entries.clear();
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(child("*.*").c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) {
      error = last_error_text();
      return false;
    }
    do {
      DirEntry entry{data.cFileName, FileType::regular};
      if (entry.name == "." || entry.name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        entry.type = FileType::link;
      else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        entry.type = FileType::directory;
      entries.push_back(std::move(entry));
    } while (FindNextFileA(handle, &data));
    bool ok = GetLastError() == ERROR_NO_MORE_FILES;
    if (!ok) error = last_error_text();
    FindClose(handle);
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return ok;
  }

  std::unique_ptr<Directory> open(const std::string& name, std::string& error) override {
    DWORD attributes = GetFileAttributesA(child(name).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      error = last_error_text();
      return nullptr;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      error = "it is a link";
      return nullptr;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error = "it is not a directory";
      return nullptr;
    }
    return std::make_unique<WinDirectory>(child(name));
  }

  bool remove(const std::string& name, bool directory, std::string& error) override {
    const std::string path = child(name);
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
      SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // A junction or directory link is a directory entry: RemoveDirectory
    // takes the link away and leaves its target alone.
    bool is_directory =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if ((directory || is_directory) ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str()))
      return true;
    error = last_error_text();
    return false;
  }

  bool contains(const std::string& name) override {
    return GetFileAttributesA(child(name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::optional<FileId> id() override {
    HANDLE handle =
        CreateFileA(path_.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!ok) return std::nullopt;
    return FileId{info.dwVolumeSerialNumber,
                  (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  }

  // By its path, as everything here: the path without its last component.
  std::unique_ptr<Directory> open_parent(std::string& error) override {
    size_t end = path_.size();
    while (end > 0 && (path_[end - 1] == '\\' || path_[end - 1] == '/')) --end;
    size_t separator = path_.find_last_of("\\/", end == 0 ? 0 : end - 1);
    if (end == 0 || separator == std::string::npos) {
      error = "it has no parent";
      return nullptr;
    }
    std::string parent = path_.substr(0, separator);
    if (parent.empty() || parent.back() == ':') parent += '\\';
    return std::make_unique<WinDirectory>(parent);
  }

 private:
  std::string child(const std::string& name) const {
    bool separated = !path_.empty() && (path_.back() == '\\' || path_.back() == '/');
    return path_ + (separated ? "" : "\\") + name;
  }

  std::string path_;
};

class WinSystem : public System {
 public:
  std::optional<int> run_command(const std::string& command) override {
    std::cout.flush();
    std::fflush(nullptr);
    std::string program, name;
    if (!find_interpreter(program, name)) return std::nullopt;
    std::string line = name + " /c " + command;
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, TRUE,
                        0, nullptr, nullptr, &startup, &process))
      return std::nullopt;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    if (!GetExitCodeProcess(process.hProcess, &status)) status = static_cast<DWORD>(-1);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
  }

  bool change_directory(const std::string& path, std::string& error) override {
    if (SetCurrentDirectoryA(path.c_str())) return true;
    error = last_error_text();
    return false;
  }

  std::optional<std::string> absolute_path(const std::string& path, std::string& error) override {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      error = last_error_text();
      return std::nullopt;
    }
    if (auto resolved = final_path(path)) return resolved;
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::vector<char> buffer(size + 1);
    DWORD got = GetFullPathNameA(path.c_str(), size + 1, buffer.data(), nullptr);
    if (got == 0 || got > size) {
      error = last_error_text();
      return std::nullopt;
    }
    return std::string(buffer.data(), got);
  }

  FileType file_type(const std::string& path) override {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileType::none;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FileType::link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileType::directory;
    return FileType::regular;
  }

  // As cmd searches: the current directory, then each PATH entry, trying
  // each PATHEXT extension in each.
  std::optional<std::string> find_program(const std::string& name,
                                          const std::string& directory) override {
    std::vector<std::string> dirs = {directory};
    for (std::string& dir : split(getenv_or("PATH", ""), ';')) {
      if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"')
        dir = dir.substr(1, dir.size() - 2);
      if (dir.empty()) continue;
      bool absolute =
          dir.front() == '\\' || dir.front() == '/' || (dir.size() >= 2 && dir[1] == ':');
      dirs.push_back(absolute ? dir : directory + "\\" + dir);
    }
    std::vector<std::string> extensions = split(getenv_or("PATHEXT", ".COM;.EXE;.BAT;.CMD"), ';');
    for (std::string dir : dirs) {
      if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
      for (const std::string& extension : extensions) {
        if (extension.empty()) continue;
        if (is_file(dir + name + extension)) {
          std::string ignored;
          return absolute_path(dir + name + extension, ignored);
        }
      }
    }
    return std::nullopt;
  }

  std::optional<FileStamp> stamp(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    const uint64_t ticks = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime;
    return FileStamp{static_cast<int64_t>(ticks) * 100,
                     (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
  }

  std::optional<std::string> executable_path() override {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
      DWORD got = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (got == 0) return std::nullopt;
      if (got < buffer.size()) {
        std::string ignored;
        return absolute_path(std::string(buffer.data(), got), ignored);
      }
      buffer.resize(buffer.size() * 2);
    }
  }

  std::optional<std::string> current_directory() override {
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return std::nullopt;
    std::vector<char> buffer(size);
    DWORD got = GetCurrentDirectoryA(size, buffer.data());
    if (got == 0 || got >= size) return std::nullopt;
    return std::string(buffer.data(), got);
  }

  std::unique_ptr<Directory> open_directory(const std::string& path, std::string& error) override {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      error = last_error_text();
      return nullptr;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error = "it is not a directory";
      return nullptr;
    }
    return std::make_unique<WinDirectory>(path);
  }

  bool delete_file(const std::string& path, std::string& error) override {
    if (DeleteFileA(path.c_str())) return true;
    error = last_error_text();
    return false;
  }

  bool removes_trees_through_interpreter() const override { return true; }

  bool same_file(const std::string& a, const std::string& b) override {
    auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
      HANDLE handle = CreateFileA(path.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                  nullptr);
      if (handle == INVALID_HANDLE_VALUE) return false;
      bool ok = GetFileInformationByHandle(handle, &info) != 0;
      CloseHandle(handle);
      return ok;
    };
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return identity(a, ia) && identity(b, ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
  }
};

}  // namespace

System& real_system() {
  static WinSystem system;
  return system;
}

char path_separator() { return '\\'; }

bool reopen_closed_standard_streams() {
  bool output_closed = false;
  for (int fd = 0; fd <= 2; ++fd) {
    if (_get_osfhandle(fd) != -1) continue;
    int opened = _open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
    if (opened >= 0 && opened != fd) {
      _dup2(opened, fd);
      _close(opened);
    }
    if (fd == 1) output_closed = true;
  }
  return output_closed;
}

}  // namespace platform
