#pragma once
// Sets (or, with a null value, removes) an environment variable for one scope.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        set(value);
    }
    // A path's own characters (UTF-16 on Windows).
    ScopedEnv(const char* name, const std::filesystem::path& value)
        : ScopedEnv(name, value.string().c_str()) {}
    ~ScopedEnv() { set(old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void set(const char* value) const {
#ifdef _WIN32
        // An empty value removes the variable there.
        _putenv_s(name_, value ? value : "");
#else
        if (value) {
            setenv(name_, value, 1);
        } else {
            unsetenv(name_);
        }
#endif
    }

    const char* name_;
    std::optional<std::string> old_;
};
