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
    virtual void WriteProfileInt(const std::string& section, const std::string& key,
                                 int value) = 0;
    virtual void WriteProfileString(const std::string& section, const std::string& key,
                                    const std::string& value) = 0;
};

// The one section every conversion setting lives in.
inline constexpr const char* kSettingSection = "Setting";

}  // namespace corvat
