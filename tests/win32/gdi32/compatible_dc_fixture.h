// A memory DC compatible with the screen, made for each test and deleted
// after it: the DC whose state, selections and mapping the tests set and read.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include "support/machine_fixture.h"

namespace tam::test {

class CompatibleDCTest : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        dc_ = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc_, nullptr);
    }
    void TearDown() override {
        DeleteDC(dc_);
        MachineTest::TearDown();
    }
    HDC dc_ = nullptr;
};

}  // namespace tam::test
