// Encode and decode cost per message, frame cipher cost, and messages per second from the receive thread
// through the dispatch thread to a scene.

#include <benchmark/benchmark.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "net/FrameCipher.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/net/TcpSocket.h"

using namespace net;

namespace {

void WriteShot(Packet& p) {
    p.Init(Id(MessageId::Shot));
    p.WriteU8(0).WriteU8(1);
    for (int i = 0; i < 17; ++i) p.WriteU32(0x3F800000u + i);
    p.WriteU16(3043);
    for (int i = 0; i < 5; ++i) p.WriteU16(0);
    p.WriteU8(1).WriteU32(12345).WriteString(u"nickname");
    p.Finish();
}

void BM_EncodeMessage(benchmark::State& state) {
    Packet p;
    for (auto _ : state) {
        WriteShot(p);
        benchmark::DoNotOptimize(p.Data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeMessage);

void BM_DecodeMessage(benchmark::State& state) {
    Packet w;
    WriteShot(w);
    Packet r;
    for (auto _ : state) {
        r.SetFrames(w.Data(), w.Size());
        std::uint32_t sum = r.U8() + r.U8();
        for (int i = 0; i < 17; ++i) sum += r.U32();
        sum += r.U16();
        for (int i = 0; i < 5; ++i) sum += r.U16();
        sum += r.U8() + r.U32();
        WString name = r.Str();
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(name);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeMessage);

void BM_EncipherFrame(benchmark::State& state) {
    Packet w;
    WriteShot(w);
    FrameCipher c;
    c.SetKey(FrameCipher::DeriveKey(1));
    std::vector<std::uint8_t> frame(w.Data(), w.Data() + w.Size());
    for (auto _ : state) {
        c.EncryptFrame(frame.data(), frame.size());
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(frame.size()));
}
BENCHMARK(BM_EncipherFrame);

class CountingScene : public PacketSink {
public:
    int OnPacket(Packet& packet) override {
        benchmark::DoNotOptimize(packet.U32());
        if (count.fetch_add(1) + 1 >= target.load()) {
            std::lock_guard lock(mutex);
            done.notify_all();
        }
        return 0;
    }
    std::atomic<std::int64_t> count{0};
    std::atomic<std::int64_t> target{0};
    std::mutex mutex;
    std::condition_variable done;
};

void BM_ReceiveThroughDispatch(benchmark::State& state) {
    const int batch = static_cast<int>(state.range(0));
    platform::TcpListener listener;
    listener.Listen("127.0.0.1", 0);
    GameSession session;
    BasicSceneGate gate;
    CountingScene scene;
    gate.SetCurrent(&scene);
    session.SetSceneGate(&gate);
    session.StartDispatchThread();
    session.Connect("127.0.0.1", listener.Port());
    platform::TcpSocket server = listener.Accept(5000);
    const std::uint8_t hello[] = {13, 0, 150, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    server.SendAll(hello, sizeof hello);
    if (!session.WaitConnected(5000)) {
        state.SkipWithError("no connection");
        return;
    }
    std::vector<std::uint8_t> stream;
    for (int i = 0; i < batch; ++i) {
        const std::uint8_t frame[] = {12, 0, 0xD6, 0x07, static_cast<std::uint8_t>(i), 0, 0, 0, 1, 2, 3, 4};
        stream.insert(stream.end(), frame, frame + sizeof frame);
    }
    std::int64_t sent = 0;
    for (auto _ : state) {
        sent += batch;
        scene.target = sent;
        server.SendAll(stream.data(), stream.size());
        std::unique_lock lock(scene.mutex);
        scene.done.wait(lock, [&] { return scene.count.load() >= sent; });
    }
    state.SetItemsProcessed(sent);
    session.StopDispatchThread();
    session.Disconnect();
}
BENCHMARK(BM_ReceiveThroughDispatch)->Arg(100)->Arg(1000)->UseRealTime();

}  // namespace
