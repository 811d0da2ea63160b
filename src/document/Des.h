#pragma once

#include <QByteArray>
#include <QString>
#include <QStringConverter>

#include <optional>

// Single DES with OpenSSL's primitives. A key is a text whose characters are single bytes
// (ISO Latin-1) of length 8, 16, 24 or 32; only its first 8 bytes are used.
// CFB-64 keeps the input's length and uses the parity-adjusted key itself as its vector.
class Des final
{
public:
    Des() = delete;

    static std::optional<QByteArray> encryptData(QByteArrayView data, const QString& key);
    static std::optional<QByteArray> decryptData(QByteArrayView data, const QString& key);
    static std::optional<QByteArray> encryptString(const QString& text, QStringConverter::Encoding encoding,
                                                   const QString& key);
    static std::optional<QString> decryptToString(QByteArrayView data, QStringConverter::Encoding encoding,
                                                  const QString& key);

    static std::optional<QByteArray> encryptCbcData(QByteArrayView data, const QString& key);
    static std::optional<QByteArray> decryptCbcData(QByteArrayView data, const QString& key);
    static std::optional<QByteArray> encryptCbcString(const QString& text, QStringConverter::Encoding encoding,
                                                      const QString& key);
    static std::optional<QString> decryptCbcToString(QByteArrayView data, QStringConverter::Encoding encoding,
                                                     const QString& key);

    // Strict conversions shared by the string forms: no result rather than a lossy one.
    static std::optional<QByteArray> encodeStrictly(const QString& text, QStringConverter::Encoding encoding);
    static std::optional<QString> decodeStrictly(QByteArrayView bytes, QStringConverter::Encoding encoding);
};
