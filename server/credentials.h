#pragma once

#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ctb::server {

// The users allowed to call the server and their bearer tokens, read from a file of "USER TOKEN" lines
// ("#" starts a comment). Only digests are kept, and every lookup compares against every entry in
// constant time, so neither the answer time nor the memory tells a token apart.
class TokenTable {
  public:
    // Throws std::runtime_error (Portuguese) when the file cannot be read, is readable by others than
    // its owner, or holds a malformed line, a short token or a user twice.
    [[nodiscard]] static TokenTable load(const QString& path);
    // From lines already read (tests); same checks but the file's permissions.
    [[nodiscard]] static TokenTable fromText(const QString& text, const QString& origin);

    // The user the token belongs to; nullopt for an unknown token.
    [[nodiscard]] std::optional<QString> userFor(std::string_view token) const;
    [[nodiscard]] std::size_t size() const { return entries_.size(); }

    static constexpr int kMinTokenLength = 16;

  private:
    using Digest = std::array<unsigned char, 32>;
    struct Entry {
        QString user;
        Digest digest;
    };
    std::vector<Entry> entries_;
};

// The bearer token of an Authorization header value ("Bearer TOKEN", scheme in any case); empty when
// the value is not of that form.
[[nodiscard]] std::string_view bearerToken(std::string_view authorization);

// True for an address on this machine only: 127.0.0.0/8, ::1, "localhost".
[[nodiscard]] bool isLoopbackAddress(const std::string& host);

// The text with the password of every postgresql:// (or postgres://) URL in it replaced by "***",
// for every line the server writes to its log.
[[nodiscard]] QString maskSecrets(const QString& text);

}  // namespace ctb::server
