#pragma once

#include <string>
#include <string_view>
#include <vector>

// Builds the text of one reply, in UTF-8, item by item in the order the client searches for them:
//   <login_result>TRUE</login_result>
//   <command>LIST</command>
//   <command_result>TRUE</command_result>
//   <current_dir>/docs</current_dir>
//   <result_count>1</result_count>
//   <list path="/docs">
//   <path>-rw-r--r-- 1 web staff 12 Jan 15 12:34 a.txt</path>
//   </list>
// Values are written verbatim; callers pass only texts that ReplyEncoding::canCarry() accepted.
class ReplyWriter
{
public:
    // The command word is echoed only when it is a plain upper-case word.
    explicit ReplyWriter(std::string_view command);

    void loginFailed();
    void commandFailed();
    void commandSucceeded(std::string_view currentDir, int resultCount);
    void addListBlock(std::string_view path, const std::vector<std::string>& lines);
    // The opening of a retr block; the Base64 text and retrClosing() follow it.
    void openRetrBlock();
    static std::string_view retrClosing();

    const std::string& text() const { return m_text; }

private:
    void addItem(std::string_view tag, std::string_view value);

    std::string m_command;
    std::string m_text;
};
