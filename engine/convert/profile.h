#pragma once

#include <string>

namespace corvat {

// The user's profile of named integers and texts, grouped in sections.
// Writes are fire-and-forget: a failed write is not reported.
class Profile {
public:
    virtual ~Profile() = default;

    virtual int GetProfileInt(const std::string& section, const std::string& key,
                              int defaultValue) = 0;
    virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue) = 0;
    virtual void WriteProfileInt(const std::string& section, const std::string& key, int value) = 0;
    virtual void WriteProfileString(const std::string& section, const std::string& key,
                                    const std::string& value) = 0;
};

// A profile that remembers nothing: every read gives the default. For runs
// that must not touch the desktop program's settings.
class NullProfile final : public Profile {
public:
    int GetProfileInt(const std::string&, const std::string&, int value) override { return value; }
    std::string GetProfileString(const std::string&, const std::string&,
                                 const std::string& value) override {
        return value;
    }
    void WriteProfileInt(const std::string&, const std::string&, int) override {}
    void WriteProfileString(const std::string&, const std::string&, const std::string&) override {}
};

// The one section every conversion setting lives in.
inline constexpr const char* kSettingSection = "Setting";

}  // namespace corvat
