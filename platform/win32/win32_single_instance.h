// One program per Windows session: a named mutex in the session's own namespace. The first
// program holds it until it ends; Windows releases it then, however the program ended.
#pragma once

namespace brisel::win32 {

class SingleInstance {
 public:
  explicit SingleInstance(const char* name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // False when another program of the session already holds the name.
  bool first() const { return first_; }

 private:
  void* mutex_ = nullptr;
  bool first_ = true;
};

// The name Brisel's programs share.
inline constexpr const char* kInstanceName = "Local\\Brisel.Instance";

}  // namespace brisel::win32
