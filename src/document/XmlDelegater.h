#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// Receives every element start of a document as it is read.
class XmlElementTarget
{
public:
    virtual ~XmlElementTarget() = default;
    // elementPath: the names of the open elements, root first, the new one last.
    virtual bool addElement(const QStringList& elementPath, const QHash<QString, QString>& attributes) = 0;
};

// Reads XML as a stream of element starts and ends, keeping the path of open elements, so that a
// file that breaks off still yields every element that started before the break.
class XmlDelegater final
{
public:
    void setTarget(XmlElementTarget* target) { m_target = target; }
    // Reads to the end or to the first error; whether the text was well-formed is not reported.
    void parse(const QByteArray& data);

private:
    XmlElementTarget* m_target = nullptr;
    QStringList m_stack;
};
