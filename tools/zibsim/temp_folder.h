#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#include <string>

namespace zibsim {

class TempFolder {
  public:
    TempFolder();  // throws std::runtime_error when no folder can be made
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace zibsim
