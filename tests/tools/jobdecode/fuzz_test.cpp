// Seeded random mutation of well-formed jobs, for a bounded time: the decoder
// must neither crash nor hang, report offsets inside the job, and, when it
// reports nothing, have accounted for every byte (the job written back from
// what it decoded equals the input).
#include "sample_job.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <random>

namespace tam::job::test {
namespace {

std::vector<std::vector<uint8_t>> Seeds() {
    std::vector<std::vector<uint8_t>> seeds;
    JobBuilder sample;
    BuildSampleJob(sample);
    seeds.push_back(sample.bytes);

    // A colour image in delta rows over two blocks, and a TrueType-style character.
    JobBuilder colour;
    colour.JobStart().PageStart().U8(2).Attr(id::ColorSpace).Op(tag::SetColorSpace);
    WriteImageHead(colour, 0, 2, 5, 4);
    std::vector<uint8_t> seed(16);
    for (int block = 0; block < 2; ++block) {
        std::vector<uint8_t> data;
        for (int row = 0; row < 2; ++row) {
            std::vector<uint8_t> pixels(16);
            for (size_t i = 0; i < 15; ++i) pixels[i] = static_cast<uint8_t>(i * (block + row + 1));
            const std::vector<uint8_t> encoded = DeltaRow(pixels, seed);
            data.insert(data.end(), encoded.begin(), encoded.end());
        }
        WriteReadImageHead(colour, block * 2, 2, 3);
        colour.Data(data);
    }
    colour.Op(tag::EndImage).PageEnd().JobEnd();
    seeds.push_back(colour.bytes);
    return seeds;
}

void Mutate(std::vector<uint8_t>& b, std::mt19937& rng) {
    static constexpr uint8_t kInteresting[] = {0x00, 0xFF, 0xFA, 0xFB, 0xF8, 0xF9, 0xC0, 0xC1,
                                               0xC8, 0xCB, 0x1B, 0x7F, 0x80, 0x0A, 0x22, 0xB1};
    auto pick = [&](size_t n) { return n ? static_cast<size_t>(rng() % n) : 0; };
    switch (rng() % 8) {
    case 0:
        if (!b.empty()) b[pick(b.size())] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
    case 1:
        if (!b.empty()) b[pick(b.size())] = static_cast<uint8_t>(rng());
        break;
    case 2:
        if (!b.empty()) b[pick(b.size())] = kInteresting[pick(sizeof kInteresting)];
        break;
    case 3: {
        const size_t at = pick(b.size() + 1);
        const size_t n = 1 + pick(8);
        for (size_t i = 0; i < n; ++i) b.insert(b.begin() + at, static_cast<uint8_t>(rng()));
        break;
    }
    case 4:
        if (!b.empty()) {
            const size_t at = pick(b.size());
            b.erase(b.begin() + at, b.begin() + std::min(b.size(), at + 1 + pick(16)));
        }
        break;
    case 5: b.resize(pick(b.size() + 1)); break;
    case 6:
        if (!b.empty()) {
            const size_t from = pick(b.size());
            const std::vector<uint8_t> chunk(b.begin() + from, b.begin() + std::min(b.size(), from + 1 + pick(64)));
            b.insert(b.begin() + pick(b.size() + 1), chunk.begin(), chunk.end());
        }
        break;
    default:
        if (b.size() >= 4) {
            const uint32_t v = rng() % 2 ? rng() : rng() % 70000;
            std::memcpy(b.data() + pick(b.size() - 3), &v, 4);
        }
        break;
    }
}

// Empty when the decoded job is consistent with its input, else what is wrong.
std::string CheckInvariants(const std::vector<uint8_t>& input, const DecodedJob& job) {
    if (job.size != input.size()) return "size";
    for (const Problem& p : job.problems) {
        if (p.offset > input.size() || p.reason.empty()) return "problem " + FormatProblem(p);
    }
    size_t next = 0;
    for (const Operator& op : job.ops) {
        if (op.offset < next || op.offset >= input.size() || input[op.offset] != op.tag) {
            return "operator at " + std::to_string(op.offset);
        }
        next = op.offset + 1;
        if (op.dataTag) {
            if (op.dataOffset < next || op.dataOffset + op.data.size() > input.size() ||
                !std::equal(op.data.begin(), op.data.end(), input.begin() + op.dataOffset)) {
                return "data of the operator at " + std::to_string(op.offset);
            }
            next = op.dataOffset + op.data.size();
        }
    }
    for (const Raster& r : job.rasters) {
        if (r.rowBytes && r.pixels.size() % r.rowBytes != 0) return "raster row length";
        if (r.RowsHeld() > r.height || (!r.rowsKept && !r.pixels.empty())) return "raster rows";
    }
    if (FormatJob(job).empty()) return "dump";
    if (job.Ok() && Reencode(job) != input) return "bytes not accounted for";
    return {};
}

TEST(Fuzz, MutatedJobsDecodeSafelyForABoundedTime) {
    const auto seeds = Seeds();
    for (const auto& s : seeds) {
        const DecodedJob job = DecodeJob(std::span<const uint8_t>(s));
        ASSERT_TRUE(job.Ok()) << FormatJob(job);
    }
    double seconds = 2.0;
    if (const char* env = std::getenv("TAM_FUZZ_SECONDS")) seconds = std::atof(env);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);

    std::mt19937 rng(0x7A4D);
    DecodeOptions options;
    options.rowBudget = size_t(1) << 20;
    options.maxProblems = 200;
    size_t runs = 0, clean = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        std::vector<uint8_t> input = seeds[rng() % seeds.size()];
        const int mutations = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < mutations; ++i) Mutate(input, rng);
        const DecodedJob job = DecodeJob(std::span<const uint8_t>(input), options);
        const std::string wrong = CheckInvariants(input, job);
        ASSERT_TRUE(wrong.empty()) << wrong << " after " << runs << " runs\n" << FormatJob(job);
        ++runs;
        clean += job.Ok();
    }
    RecordProperty("runs", static_cast<int>(runs));
    RecordProperty("clean", static_cast<int>(clean));
    EXPECT_GT(runs, 50u);
    // Most mutations damage the job, and the decoder must say so.
    EXPECT_LT(clean, runs / 2);
}

}  // namespace
}  // namespace tam::job::test
