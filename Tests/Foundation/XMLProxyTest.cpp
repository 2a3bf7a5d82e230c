#include "Foundation/XMLProxy.h"

#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

// A value proxy of any size: its payload repeats its own text, so that two proxies sharing storage
// would show in each other's text.
template <std::size_t Bytes>
class PaddedProxy : public XMLProxy {
public:
    explicit PaddedProxy(char mark) : XMLProxy("padded", false) {
        for (char& byte : payload_) byte = mark;
    }
    bool getText(std::string& text) const override {
        text.assign(payload_, sizeof payload_);
        return true;
    }

private:
    char payload_[Bytes];
};

std::unique_ptr<XMLProxy> makePadded(std::size_t kind, char mark) {
    switch (kind % 6) {
        case 0:
            return std::make_unique<PaddedProxy<1>>(mark);
        case 1:
            return std::make_unique<PaddedProxy<23>>(mark);
        case 2:
            return std::make_unique<PaddedProxy<40>>(mark);
        case 3:
            return std::make_unique<PaddedProxy<72>>(mark);
        case 4:
            return std::make_unique<PaddedProxy<80>>(mark);   // just past the sizes that are kept
        default:
            return std::make_unique<PaddedProxy<500>>(mark);
    }
}

void expectMarked(const XMLProxy& proxy, char mark) {
    std::string text;
    ASSERT_TRUE(proxy.getText(text));
    EXPECT_EQ(text, std::string(text.size(), mark));
}

}   // namespace

TEST(XMLProxy, KeepsEveryLiveProxyApartWhateverTheOrderTheyComeAndGo) {
    // More proxies of each size than are kept for reuse, freed from both ends and made again.
    std::vector<std::unique_ptr<XMLProxy>> proxies;
    for (std::size_t i = 0; i < 600; ++i) proxies.push_back(makePadded(i, static_cast<char>('A' + i % 50)));
    for (std::size_t i = 0; i < proxies.size(); i += 2) proxies[i].reset();
    for (std::size_t i = proxies.size(); i-- > 0;) {
        if (i % 3 == 0) proxies[i].reset();
    }
    for (std::size_t i = 0; i < proxies.size(); ++i) {
        if (!proxies[i]) proxies[i] = makePadded(i + 1, static_cast<char>('a' + i % 25));
    }
    for (std::size_t i = 0; i < proxies.size(); ++i) {
        SCOPED_TRACE(i);
        const bool remade = i % 2 == 0 || i % 3 == 0;
        expectMarked(*proxies[i], static_cast<char>(remade ? 'a' + i % 25 : 'A' + i % 50));
    }
}

TEST(XMLProxy, MayBeMadeOnOneThreadAndDestroyedOnAnother) {
    std::vector<std::unique_ptr<XMLProxy>> fromWorker;
    std::thread worker([&fromWorker] {
        for (std::size_t i = 0; i < 200; ++i) fromWorker.push_back(makePadded(i, 'w'));
        for (std::size_t i = 0; i < 100; ++i) fromWorker.pop_back();   // kept by the worker until it ends
    });
    worker.join();   // blocks the worker kept go back to the heap (the leak check would see them)
    for (const auto& proxy : fromWorker) expectMarked(*proxy, 'w');
    fromWorker.clear();   // into this thread's blocks
    for (std::size_t i = 0; i < 100; ++i) expectMarked(*makePadded(i, 'm'), 'm');
}
