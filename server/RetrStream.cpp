#include "RetrStream.h"

#include <cerrno>
#include <vector>

#include <openssl/evp.h>
#include <unistd.h>

namespace {

constexpr std::size_t kPieceBytes = 3 * 16384;

} // namespace

RetrStream::RetrStream(UniqueFd file, std::string opening, std::string closing)
    : m_file(std::move(file))
    , m_opening(std::move(opening))
    , m_closing(std::move(closing))
{ }

bool RetrStream::next(std::string& piece)
{
    piece.clear();
    if (m_stage == Stage::Opening) {
        piece = m_opening;
        m_stage = Stage::Content;
        return true;
    }
    if (m_stage == Stage::Done)
        return true;

    // Fill the whole piece unless the file ends, so only the last piece may need padding.
    std::vector<unsigned char> raw(kPieceBytes);
    std::size_t filled = 0;
    while (filled < raw.size()) {
        const ssize_t count = ::read(m_file.get(), raw.data() + filled, raw.size() - filled);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (count == 0)
            break;
        filled += static_cast<std::size_t>(count);
    }
    m_bytesRead += filled;
    if (filled > 0) {
        piece.resize((filled + 2) / 3 * 4 + 1);
        const int length
            = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(piece.data()), raw.data(), static_cast<int>(filled));
        piece.resize(static_cast<std::size_t>(length));
    }
    if (filled < raw.size()) {
        piece += m_closing;
        m_stage = Stage::Done;
        m_file.reset();
    }
    return true;
}
