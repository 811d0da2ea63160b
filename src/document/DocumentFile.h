#pragma once

#include "document/ConnectSettings.h"
#include "document/XmlDelegater.h"

#include <QByteArray>
#include <QString>

// The account document on disk: UTF-8 XML with a "plumoxa" root and one "settings" element whose
// attributes carry the connection setting (the password scrambled).
class DocumentFile final : public XmlElementTarget
{
public:
    // Fills settings from the file's bytes. A file that is not well-formed still gives whatever
    // "settings" element started before the break; without one the settings keep their values.
    // With several, the last wins.
    static void parseXml(const QByteArray& data, ConnectSettings& settings);
    // The whole document text for a setting, from the document template.
    static QString documentText(const ConnectSettings& settings);
    // Writes atomically: the file at path is replaced only when the whole text was written.
    static bool write(const QString& path, const ConnectSettings& settings, QString* errorString = nullptr);
    // Reads a document file into settings; false when the file cannot be read.
    static bool read(const QString& path, ConnectSettings& settings, QString* errorString = nullptr);

    bool addElement(const QStringList& elementPath, const QHash<QString, QString>& attributes) override;

private:
    explicit DocumentFile(ConnectSettings& settings)
        : m_settings(settings)
    { }

    ConnectSettings& m_settings;
};
