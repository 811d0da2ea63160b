#include "document/Des.h"

#include <openssl/des.h>

#include <algorithm>
#include <cstring>

namespace {

// Vector of the CBC operations; nothing stored depends on it.
constexpr char kCbcVector[] = "PlumoxaV";

enum class Direction { Encrypt, Decrypt };

struct PreparedKey
{
    DES_cblock block;
    DES_key_schedule schedule;
    bool accepted;
};

// Takes the first 8 bytes of a key of 8, 16, 24 or 32 Latin-1 characters, sets odd parity and
// builds the schedule.
std::optional<PreparedKey> prepareKey(const QString& key)
{
    for (const QChar c : key) {
        if (c.unicode() > 0xFF)
            return std::nullopt;
    }
    const QByteArray bytes = key.toLatin1();
    const auto length = bytes.size();
    if (length != 8 && length != 16 && length != 24 && length != 32)
        return std::nullopt;
    PreparedKey prepared {};
    std::memcpy(prepared.block, bytes.constData(), sizeof prepared.block);
    DES_set_odd_parity(&prepared.block);
    prepared.accepted = DES_set_key_checked(&prepared.block, &prepared.schedule) == 0;
    return prepared;
}

std::optional<QByteArray> cfb64(QByteArrayView data, const QString& key, Direction direction)
{
    auto prepared = prepareKey(key);
    if (!prepared)
        return std::nullopt;
    DES_cblock vector;
    std::memcpy(vector, prepared->block, sizeof vector);
    int position = 0;
    QByteArray out(data.size(), Qt::Uninitialized);
    DES_cfb64_encrypt(reinterpret_cast<const unsigned char*>(data.data()), reinterpret_cast<unsigned char*>(out.data()),
                      static_cast<long>(data.size()), &prepared->schedule, &vector, &position,
                      direction == Direction::Encrypt ? DES_ENCRYPT : DES_DECRYPT);
    return out;
}

std::optional<QByteArray> cbc(QByteArrayView data, const QString& key, Direction direction)
{
    auto prepared = prepareKey(key);
    if (!prepared || !prepared->accepted)
        return std::nullopt;
    DES_cblock vector;
    std::memcpy(vector, kCbcVector, sizeof vector);
    const qsizetype outSize = direction == Direction::Encrypt ? (data.size() + 7) / 8 * 8 : data.size();
    QByteArray out(outSize, '\0');
    DES_ncbc_encrypt(reinterpret_cast<const unsigned char*>(data.data()), reinterpret_cast<unsigned char*>(out.data()),
                     static_cast<long>(data.size()), &prepared->schedule, &vector,
                     direction == Direction::Encrypt ? DES_ENCRYPT : DES_DECRYPT);
    return out;
}

} // namespace

std::optional<QByteArray> Des::encodeStrictly(const QString& text, QStringConverter::Encoding encoding)
{
    // Qt's Latin-1 encoder substitutes "?" without flagging an error, so check it here.
    if (encoding == QStringConverter::Latin1
        && std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; }))
        return std::nullopt;
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

std::optional<QString> Des::decodeStrictly(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    // A leading byte-order mark is part of the text, not a marker to drop.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QByteArray> Des::encryptData(QByteArrayView data, const QString& key)
{
    return cfb64(data, key, Direction::Encrypt);
}

std::optional<QByteArray> Des::decryptData(QByteArrayView data, const QString& key)
{
    return cfb64(data, key, Direction::Decrypt);
}

std::optional<QByteArray> Des::encryptString(const QString& text, QStringConverter::Encoding encoding,
                                             const QString& key)
{
    const auto bytes = encodeStrictly(text, encoding);
    return bytes ? encryptData(*bytes, key) : std::nullopt;
}

std::optional<QString> Des::decryptToString(QByteArrayView data, QStringConverter::Encoding encoding,
                                            const QString& key)
{
    const auto bytes = decryptData(data, key);
    return bytes ? decodeStrictly(*bytes, encoding) : std::nullopt;
}

std::optional<QByteArray> Des::encryptCbcData(QByteArrayView data, const QString& key)
{
    return cbc(data, key, Direction::Encrypt);
}

std::optional<QByteArray> Des::decryptCbcData(QByteArrayView data, const QString& key)
{
    return cbc(data, key, Direction::Decrypt);
}

std::optional<QByteArray> Des::encryptCbcString(const QString& text, QStringConverter::Encoding encoding,
                                                const QString& key)
{
    const auto bytes = encodeStrictly(text, encoding);
    return bytes ? encryptCbcData(*bytes, key) : std::nullopt;
}

std::optional<QString> Des::decryptCbcToString(QByteArrayView data, QStringConverter::Encoding encoding,
                                               const QString& key)
{
    const auto bytes = decryptCbcData(data, key);
    return bytes ? decodeStrictly(*bytes, encoding) : std::nullopt;
}
