#pragma once

#include "ProtocolRequest.h"
#include "UniqueFd.h"

#include <memory>
#include <string>
#include <vector>

class DirectoryLister;
class ReplyEncoding;
class RootJail;
class UploadFile;

// Runs the protocol's commands on the served root, after the login has been checked. Every
// directory and name of a request goes through the RootJail; names that are created must also
// be ones a listing can show.
class CommandHandler
{
public:
    struct ListBlock
    {
        std::string path;
        std::vector<std::string> lines;
    };
    struct Outcome
    {
        bool succeeded = false;
        std::string currentDir;
        std::vector<ListBlock> lists; // CONN and LIST
        UniqueFd retrFile; // RETR: the open file, read from its start
    };

    CommandHandler(const RootJail& jail, std::string startDir, const ReplyEncoding& encoding,
                   const DirectoryLister& lister);

    const std::string& startDir() const { return m_startDir; }

    // CONN, LIST, RETR, MKD, RM, RMD, CHMOD and REN; any other word, and STOR without a file, fail.
    Outcome run(const ProtocolRequest& request) const;

    // The first half of STOR: checks the directory and the file name and creates the temporary
    // file beside the target. Null when the command fails; currentDir is set on success.
    std::unique_ptr<UploadFile> beginUpload(const ProtocolRequest& request, const std::string& fileName,
                                            std::string& currentDir) const;

    // The server path a request's "dir" names, if it is one the reply can carry.
    std::optional<std::string> directory(const ProtocolRequest& request) const;

private:
    bool isCreatableName(const std::string& name) const;

    Outcome connect() const;
    bool list(const std::string& dir, Outcome& outcome) const;
    bool retrieve(const std::string& dir, const std::string& name, Outcome& outcome) const;
    bool makeDirectory(const std::string& dir, const std::string& name) const;
    bool remove(const std::string& dir, const std::string& name, bool directory) const;
    bool changeMode(const std::string& dir, const std::string& name, const std::string& mode) const;
    bool rename(const std::string& dir, const std::string& from, const std::string& to) const;

    const RootJail& m_jail;
    std::string m_startDir;
    const ReplyEncoding& m_encoding;
    const DirectoryLister& m_lister;
};
