// The font tests' fixture: a PDEV of the default settings with a job open
// whose font cache is emptied when the test ends, and the bytes a piece of
// the stream writes, decoded in the frame of a whole job.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <span>

#include "job_fixture.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pjl.h"

namespace tam::test {

class FontJobTest : public JobTest {
protected:
    void SetUp() override {
        JobTest::SetUp();
        pdev_ = EnableDefault();
        ASSERT_NE(pdev_, nullptr);
        OpenJob(pdev_);
    }
    void TearDown() override {
        if (pdev_) FontCach_Reset(pdev_);
        JobTest::TearDown();
    }

    // What `body` writes, in the frame of a whole job, decoded; the bytes
    // `body` wrote alone go to `written`.
    job::DecodedJob InJob(const std::function<void()>& body, Bytes* written = nullptr) {
        EXPECT_TRUE(Pxl_BeginSession(pdev_));
        Bytes all = TakeOutput(pdev_);
        body();
        const Bytes own = TakeOutput(pdev_);
        Pxl_CloseDataSource(pdev_);
        EXPECT_TRUE(Pjl_WriteEndOfJob(pdev_));
        const Bytes tail = TakeOutput(pdev_);
        if (written) *written = own;
        all.insert(all.end(), own.begin(), own.end());
        all.insert(all.end(), tail.begin(), tail.end());
        return job::DecodeJob(std::span<const uint8_t>(all.data(), all.size()));
    }

    PDEV* pdev_ = nullptr;
};

}  // namespace tam::test
