#pragma once

#include "UniqueFd.h"

#include <cstdint>
#include <string>

// Produces a RETR reply piece by piece: the reply's opening items, the file as one unbroken run of
// Base64, then the block's closing. The file is read in pieces whose length is a multiple of three,
// so the pieces' Base64 texts join without padding in between and memory stays the same whatever
// the file's size.
class RetrStream
{
public:
    RetrStream(UniqueFd file, std::string opening, std::string closing);

    // The next piece to send, written into piece; false on a read error. After the closing has
    // been handed out, atEnd() is true.
    bool next(std::string& piece);
    bool atEnd() const { return m_stage == Stage::Done; }
    std::uint64_t bytesRead() const { return m_bytesRead; }

private:
    enum class Stage { Opening, Content, Done };

    UniqueFd m_file;
    std::string m_opening;
    std::string m_closing;
    Stage m_stage = Stage::Opening;
    std::uint64_t m_bytesRead = 0;
};
