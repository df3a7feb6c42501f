// Jobs printed through the document callbacks on a PDEV of "Korvan Laser"
// with settings made by hand (reverse order, manual duplex, booklet,
// poster, collated copies: the user interface gives no route to several of
// them). Each page writes a marker of its own, a SetCursor to
// (kMarkerBase + page number, kMarkerBase), so that the replayed job tells
// which stored page every sheet side carries.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>
#include <winspool.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "jobdecode.h"
#include "kernel32/filefaults.h"
#include "machine/debuglog.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/spool.h"
#include "pcl6/intrface/util.h"
#include "pdev_fixture.h"
#include "support/page_box.h"
#include "winspool/jobs.h"

namespace tam::test {

inline constexpr int kMarkerBase = 30000;

// One side of a printed sheet: the stored pages on it, in the order they
// were sent, with the page origin, rotation and scale each was placed at.
struct PrintedSide {
    struct Placed {
        int page;
        int64_t originX;
        int64_t originY;
        int64_t angle = 0;
        double scaleX = 1.0;
        double scaleY = 1.0;
        // The rectangle painted after the page (an N-up cell's frame), in
        // the printer's page units: its transform's origin added.
        bool framed = false;
        PageBox frame{};
    };
    std::vector<Placed> pages;  // empty: a blank side
    std::string media;          // MediaSize of its BeginPage
    int64_t orientation = 0;    // Orientation of its BeginPage
};

// What the end of a printed job said.
struct EndResult {
    BOOL ended = FALSE;
    DWORD error = 0;
};

class SpoolTest : public PdevTest {
protected:
    void TearDown() override {
        w32::ClearFileFaults();
        Util_FailGlobalAlloc(0);
        if (docOpen_) EndDocPrinter(printer());
        PdevTest::TearDown();
    }

    // A PDEV of the user interface's defaults (A4 portrait, mono, 600 dpi)
    // whose current settings `edit` changes before any job starts.
    PDEV* EnableWith(const std::function<void(RendDevmode&)>& edit) {
        ByteImage settings = UiSettings();
        PDEV* pdev = Enable(settings);
        EXPECT_NE(pdev, nullptr);
        if (pdev && edit) edit(pdev->Devmode);
        return pdev;
    }

    // Starts a spooler document on the PDEV's printer, as GDI does before
    // the driver's DrvStartDoc, and the driver's document.
    bool StartJob(PDEV* pdev, std::u16string document = u"replay test") {
        std::u16string datatype = u"RAW";
        DOC_INFO_1W info{document.data(), nullptr, datatype.data()};
        jobId_ = StartDocPrinterW(printer(), 1, reinterpret_cast<LPBYTE>(&info));
        if (!jobId_) return false;
        docOpen_ = true;
        surface_ = SURFOBJ{};
        surface_.dhpdev = AsDhpdev(pdev);
        return DrvStartDoc(&surface_, document.data(), jobId_) != FALSE;
    }

    // One page with its marker; `before` may change the job's settings for
    // it (its paper, say). FALSE when the driver refused the page.
    bool PrintPage(PDEV* pdev, int page, const std::function<void(PDEV*)>& before = {}) {
        if (before) before(pdev);
        if (!DrvStartPage(&surface_)) return false;
        Pxl_SetCursor(pdev, kMarkerBase + page, kMarkerBase);
        return DrvSendPage(&surface_) != FALSE;
    }

    // Ends the driver's document and the spooler's.
    EndResult EndJob() {
        EndResult result;
        SetLastError(ERROR_SUCCESS);
        result.ended = DrvEndDoc(&surface_, 0);
        result.error = GetLastError();
        if (docOpen_) {
            EXPECT_TRUE(EndDocPrinter(printer())) << GetLastError();
        }
        docOpen_ = false;
        return result;
    }

    // A whole job of `pages` pages; the test fails when a call is refused.
    EndResult PrintJob(PDEV* pdev, int pages) {
        EXPECT_TRUE(StartJob(pdev)) << GetLastError();
        for (int page = 1; page <= pages; ++page) EXPECT_TRUE(PrintPage(pdev, page)) << "page " << page;
        return EndJob();
    }

    SURFOBJ* surface() { return &surface_; }
    DWORD jobId() const { return jobId_; }

    std::vector<BYTE> JobBytes() const {
        auto bytes = w32::ReadJobBytes(jobId_);
        return bytes ? *bytes : std::vector<BYTE>();
    }

    // The job decoded; it must decode without a problem.
    job::DecodedJob Decoded() const {
        const std::vector<BYTE> bytes = JobBytes();
        job::DecodedJob decoded = job::DecodeJob(bytes);
        std::string problems;
        for (const auto& problem : decoded.problems) problems += job::FormatProblem(problem) + "\n";
        EXPECT_TRUE(decoded.Ok()) << problems;
        return decoded;
    }

    // The sides of the printed job, in order.
    std::vector<PrintedSide> Sides() const {
        const job::DecodedJob decoded = Decoded();
        std::vector<PrintedSide> sides;
        for (const auto& [first, last] : decoded.Pages()) {
            PrintedSide side;
            side.media = decoded.ops[first].Text("MediaSize").value_or("");
            side.orientation = decoded.ops[first].Int("Orientation").value_or(-1);
            int64_t x = 0, y = 0, angle = 0;
            double sx = 1.0, sy = 1.0;
            for (size_t i = first; i <= last; ++i) {
                const job::Operator& op = decoded.ops[i];
                if (op.name == "SetPageDefaultCTM") {
                    x = y = angle = 0;
                    sx = sy = 1.0;
                } else if (op.name == "SetPageOrigin") {
                    // Origins add up: a far one may come in steps.
                    x += op.Int("PageOrigin", 0).value_or(0);
                    y += op.Int("PageOrigin", 1).value_or(0);
                } else if (op.name == "SetPageRotation") {
                    angle = op.Int("PageAngle").value_or(0);
                } else if (op.name == "SetPageScale") {
                    sx = op.Number("PageScale", 0).value_or(1.0);
                    sy = op.Number("PageScale", 1).value_or(1.0);
                } else if (op.name == "SetCursor" && op.Int("Point", 1) == kMarkerBase) {
                    side.pages.push_back({int(op.Int("Point", 0).value_or(0) - kMarkerBase), x, y, angle, sx, sy});
                } else if (op.name == "RectanglePath" && i + 1 <= last && decoded.ops[i + 1].name == "PaintPath" &&
                           !side.pages.empty()) {
                    const job::Attribute* box = op.Find("BoundingBox");
                    if (!box) continue;
                    EXPECT_EQ(angle, 0) << "frames are drawn unturned";
                    side.pages.back().framed = true;
                    side.pages.back().frame = {double(x + box->value.Int(0)), double(y + box->value.Int(1)),
                                               double(x + box->value.Int(2)), double(y + box->value.Int(3))};
                }
            }
            sides.push_back(std::move(side));
        }
        return sides;
    }

    // The printed sides as text: the page on each side, "-" for a blank
    // one, sides apart by a space ("4 2 - 1 3").
    std::string Order() const {
        std::string text;
        for (const PrintedSide& side : Sides()) {
            if (!text.empty()) text += ' ';
            if (side.pages.empty()) text += '-';
            for (size_t i = 0; i < side.pages.size(); ++i)
                text += (i ? "+" : "") + std::to_string(side.pages[i].page);
        }
        return text;
    }

    // The temporary files of the spool ("var*.tmp") in the machine's
    // temporary folder.
    std::vector<std::string> SpoolFiles() const {
        WCHAR folder[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, folder);
        std::vector<std::string> names;
        if (length == 0 || length >= MAX_PATH) return names;
        const std::filesystem::path host = HostPath(folder);
        if (!std::filesystem::is_directory(host)) return names;
        for (const auto& entry : std::filesystem::directory_iterator(host)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("var", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".tmp")
                names.push_back(name);
        }
        return names;
    }

private:
    DWORD jobId_ = 0;
    bool docOpen_ = false;
    SURFOBJ surface_{};
};

}  // namespace tam::test
