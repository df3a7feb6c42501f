// A test that keeps the GDI objects it makes and deletes them when it ends,
// so that a failed expectation leaks nothing into the next test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/machine_fixture.h"

namespace tam::test {

class KeptObjectsTest : public MachineTest {
protected:
    void TearDown() override {
        for (HGDIOBJ object : made_) DeleteObject(object);
        MachineTest::TearDown();
    }
    // The object just made, checked to exist and kept for deletion.
    template <typename Handle>
    Handle Keep(Handle object) {
        EXPECT_NE(object, nullptr);
        made_.push_back(object);
        return object;
    }

private:
    std::vector<HGDIOBJ> made_;
};

}  // namespace tam::test
