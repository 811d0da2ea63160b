#include "ReplyWriter.h"

#include <algorithm>

ReplyWriter::ReplyWriter(std::string_view command)
{
    const bool plainWord = !command.empty() && command.size() <= 16
        && std::all_of(command.begin(), command.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    if (plainWord)
        m_command = command;
}

void ReplyWriter::addItem(std::string_view tag, std::string_view value)
{
    m_text += '<';
    m_text += tag;
    m_text += '>';
    m_text += value;
    m_text += "</";
    m_text += tag;
    m_text += ">\n";
}

void ReplyWriter::loginFailed()
{
    addItem("login_result", "FALSE");
    addItem("command", m_command);
    addItem("command_result", "FALSE");
}

void ReplyWriter::commandFailed()
{
    addItem("login_result", "TRUE");
    addItem("command", m_command);
    addItem("command_result", "FALSE");
}

void ReplyWriter::commandSucceeded(std::string_view currentDir, int resultCount)
{
    addItem("login_result", "TRUE");
    addItem("command", m_command);
    addItem("command_result", "TRUE");
    addItem("current_dir", currentDir);
    addItem("result_count", std::to_string(resultCount));
}

void ReplyWriter::addListBlock(std::string_view path, const std::vector<std::string>& lines)
{
    m_text += "<list path=\"";
    m_text += path;
    m_text += "\">\n";
    for (const std::string& line : lines)
        addItem("path", line);
    m_text += "</list>\n";
}

void ReplyWriter::openRetrBlock()
{
    m_text += "<retr>";
}

std::string_view ReplyWriter::retrClosing()
{
    return "\n</retr>\n";
}
