#include "Credentials.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

Credentials::Credentials(std::string_view user, std::string_view password)
    : m_user(digest(user))
    , m_password(digest(password))
{ }

Credentials::Digest Credentials::digest(std::string_view text)
{
    Digest result {};
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), result.data(), &length, EVP_sha256(), nullptr);
    return result;
}

bool Credentials::matches(std::string_view user, std::string_view password) const
{
    const Digest userDigest = digest(user);
    const Digest passwordDigest = digest(password);
    // Both comparisons always run; the results are combined without a branch.
    const int userDiffers = CRYPTO_memcmp(userDigest.data(), m_user.data(), m_user.size()) != 0;
    const int passwordDiffers = CRYPTO_memcmp(passwordDigest.data(), m_password.data(), m_password.size()) != 0;
    return (userDiffers | passwordDiffers) == 0;
}
