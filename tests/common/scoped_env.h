// Sets an environment variable (nullptr unsets it) for one scope and puts the
// former value back; TZ changes take effect at once.
#pragma once
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        set(value);
    }
    ~ScopedEnv() { set(old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;  // a copy would restore twice
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const char* value) {
        value ? setenv(name_, value, 1) : unsetenv(name_);
        tzset();
    }
    const char* name_;
    std::optional<std::string> old_;
};
