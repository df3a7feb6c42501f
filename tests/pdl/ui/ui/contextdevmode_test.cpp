// The settings image of a context (private part first, public part second)
// and the process-wide copy of the last context, read and replaced from
// several threads.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "devmode_test_support.h"
#include "ui/ui/contextdevmode.h"

using namespace devmode_test;

namespace {

// A context whose private part holds `privByte` everywhere and whose public
// part holds `pubByte`, so that any mix of two contexts shows.
std::unique_ptr<UiContext> Patterned(BYTE privByte, BYTE pubByte) {
    auto context = MakeContext();
    std::memset(context->priv, privByte, sizeof(PrivateDevmode));
    std::memset(context->pub, pubByte, sizeof(DEVMODEW));
    return context;
}

TEST(ContextDevmode, ImageHoldsPrivatePartFirstThenPublicPart) {
    auto context = MakeContext();
    ASSERT_TRUE(SetDevmodeDefaults(&context->devmode, u"Korvan", nullptr));
    std::vector<BYTE> image(CONTEXT_DEVMODE_IMAGE_SIZE, 0xCC);
    ASSERT_TRUE(StoreContextDevmode(context.get(), image.data()));
    EXPECT_EQ(std::memcmp(image.data(), "PRIV", 4), 0);
    EXPECT_EQ(std::memcmp(image.data(), context->priv, 4864), 0);
    EXPECT_EQ(std::memcmp(image.data() + 4864, context->pub, 220), 0);
    EXPECT_EQ(ReadText(image.data(), 4864, 32), u"Korvan");  // dmDeviceName opens the public part
}

TEST(ContextDevmode, LoadPutsEachHalfInItsPart) {
    std::vector<BYTE> image(CONTEXT_DEVMODE_IMAGE_SIZE);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<BYTE>(i * 7 + 3);
    auto context = MakeContext();
    ASSERT_TRUE(LoadDevmodeIntoContext(context.get(), image.data()));
    EXPECT_EQ(std::memcmp(context->priv, image.data(), 4864), 0);
    EXPECT_EQ(std::memcmp(context->pub, image.data() + 4864, 220), 0);

    std::vector<BYTE> back(CONTEXT_DEVMODE_IMAGE_SIZE);
    ASSERT_TRUE(StoreContextDevmode(context.get(), back.data()));
    EXPECT_EQ(back, image);
}

TEST(ContextDevmode, MissingPartsFailAndTouchNothing) {
    std::vector<BYTE> image(CONTEXT_DEVMODE_IMAGE_SIZE, 0x5A);
    auto context = Patterned(0x11, 0x22);
    context->pub = nullptr;
    EXPECT_FALSE(LoadDevmodeIntoContext(context.get(), image.data()));
    EXPECT_EQ(context->devmode.priv.signature[0], 0x11);
    EXPECT_FALSE(StoreContextDevmode(context.get(), image.data()));
    EXPECT_EQ(image[0], 0x5A);
    EXPECT_FALSE(LoadDevmodeIntoContext(nullptr, image.data()));
    EXPECT_FALSE(StoreContextDevmode(nullptr, image.data()));
    context->pub = &context->devmode.pub;
    EXPECT_FALSE(LoadDevmodeIntoContext(context.get(), nullptr));
    EXPECT_FALSE(StoreContextDevmode(context.get(), nullptr));
}

TEST(SharedContext, CopyIsIndependentAndAimsAtItself) {
    SharedContextHolder holder;
    UiContext out{};
    EXPECT_FALSE(holder.Get(&out));  // nothing held yet

    auto context = Patterned(0x11, 0x22);
    context->printer = reinterpret_cast<HANDLE>(0x1234);
    ASSERT_TRUE(holder.Set(context.get()));
    std::memset(context->priv, 0x33, sizeof(PrivateDevmode));  // later edits stay out of the copy

    auto copy = std::make_unique<UiContext>();
    ASSERT_TRUE(holder.Get(copy.get()));
    EXPECT_EQ(copy->priv, &copy->devmode.priv);
    EXPECT_EQ(copy->pub, &copy->devmode.pub);
    EXPECT_EQ(copy->printer, reinterpret_cast<HANDLE>(0x1234));
    EXPECT_EQ(Bytes(copy->priv)[100], 0x11);
    EXPECT_EQ(Bytes(copy->pub)[100], 0x22);

    holder.Clear();
    EXPECT_FALSE(holder.Get(copy.get()));
    EXPECT_FALSE(holder.Set(nullptr));
}

TEST(SharedContext, TakesTheSettingsTheContextPointsAt) {
    // A context whose pointers aim outside itself: the copy holds what they
    // aim at.
    auto context = Patterned(0x11, 0x22);
    UiDevmode elsewhere;
    std::memset(&elsewhere, 0x44, sizeof(elsewhere));
    context->priv = &elsewhere.priv;
    context->pub = &elsewhere.pub;
    SharedContextHolder holder;
    ASSERT_TRUE(holder.Set(context.get()));
    auto copy = std::make_unique<UiContext>();
    ASSERT_TRUE(holder.Get(copy.get()));
    EXPECT_EQ(Bytes(copy->priv)[0], 0x44);
    EXPECT_EQ(Bytes(copy->pub)[0], 0x44);
    EXPECT_EQ(copy->priv, &copy->devmode.priv);
}

TEST(SharedContext, ProcessHolderIsOne) { EXPECT_EQ(&GetSharedContextHolder(), &GetSharedContextHolder()); }

// Writers replace the copy with contexts of two patterns while readers take
// copies: every copy a reader gets is wholly one context, never a mix.
TEST(SharedContext, ConcurrentReplaceAndReadNeverTear) {
    SharedContextHolder holder;
    auto first = Patterned(0x11, 0x12);
    auto second = Patterned(0x21, 0x22);
    ASSERT_TRUE(holder.Set(first.get()));

    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::vector<std::thread> threads;
    for (int w = 0; w < 2; ++w)
        threads.emplace_back([&, w] {
            for (int i = 0; i < 2000; ++i) holder.Set(((i + w) & 1) ? first.get() : second.get());
        });
    for (int r = 0; r < 2; ++r)
        threads.emplace_back([&] {
            auto copy = std::make_unique<UiContext>();
            while (!stop) {
                if (!holder.Get(copy.get())) continue;
                const BYTE* priv = Bytes(copy->priv);
                const BYTE* pub = Bytes(copy->pub);
                BYTE lead = priv[0];
                bool whole = (lead == 0x11 || lead == 0x21) && pub[219] == lead + 1 &&
                             priv[sizeof(PrivateDevmode) - 1] == lead && pub[0] == lead + 1;
                if (!whole) ++torn;
            }
        });
    threads[0].join();
    threads[1].join();
    stop = true;
    threads[2].join();
    threads[3].join();
    EXPECT_EQ(torn.load(), 0);
}

}  // namespace
