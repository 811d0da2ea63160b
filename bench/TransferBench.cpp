// File contents: Base64 decoding whole and streamed from a RETR reply.
#include "document/Base64.h"
#include "protocol/ContentSink.h"
#include "protocol/RetrReplyReader.h"

#include <benchmark/benchmark.h>

namespace {

const QByteArray& fileBytes()
{
    static const QByteArray bytes = [] {
        QByteArray b(16 << 20, '\0');
        for (qsizetype i = 0; i < b.size(); ++i)
            b[i] = char((i * 2654435761u) >> 13);
        return b;
    }();
    return bytes;
}

void decodeBase64(benchmark::State& state)
{
    const QByteArray text = fileBytes().toBase64();
    for (auto _ : state)
        benchmark::DoNotOptimize(Base64::decode(text));
    state.SetBytesProcessed(state.iterations() * fileBytes().size());
}
BENCHMARK(decodeBase64)->Unit(benchmark::kMillisecond);

void streamRetrReply(benchmark::State& state)
{
    const QByteArray reply = "<login_result>TRUE</login_result><command>RETR</command><command_result>TRUE"
                             "</command_result><current_dir>/</current_dir><result_count>1</result_count><retr>"
        + fileBytes().toBase64() + "\n</retr>";
    constexpr qsizetype kPiece = 64 * 1024;
    for (auto _ : state) {
        QByteArray received;
        received.reserve(fileBytes().size());
        ByteArraySink sink(received);
        RetrReplyReader reader(sink);
        for (qsizetype at = 0; at < reply.size(); at += kPiece)
            reader.feed(QByteArrayView(reply).sliced(at, std::min(kPiece, reply.size() - at)));
        benchmark::DoNotOptimize(reader.finish());
    }
    state.SetBytesProcessed(state.iterations() * fileBytes().size());
}
BENCHMARK(streamRetrReply)->Unit(benchmark::kMillisecond);

} // namespace
