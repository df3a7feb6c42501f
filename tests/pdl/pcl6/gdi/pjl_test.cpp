// The job's frame: PJL header, stream header, session and data source, and
// the PJL end of job, compared byte for byte and read back by the job
// decoder.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <functional>
#include <string>
#include <vector>

#include "job_fixture.h"
#include "pcl6/gdi/ips.h"
#include "pcl6/gdi/module.h"
#include "pcl6/gdi/papername.h"
#include "pcl6/gdi/pjl.h"
#include "support/module_install.h"

namespace tam::test {
namespace {

const char kUel[] = "\x1B%-12345X";

class JobFrame : public JobTest {
protected:
    // The frame of a job without pages, as job control writes it: the
    // session, then CloseDataSource and the end of job.
    job::DecodedJob WholeJob(PDEV* pdev) {
        EXPECT_TRUE(Pxl_BeginSession(pdev));
        EXPECT_TRUE(Pxl_CloseDataSource(pdev));
        EXPECT_TRUE(Pjl_WriteEndOfJob(pdev));
        const Bytes bytes = TakeOutput(pdev);
        return job::DecodeJob(std::span<const uint8_t>(bytes.data(), bytes.size()));
    }

    // The value of a PJL SET line of a whole job whose settings `change` made.
    std::string PjlValueOf(const std::string& key, const std::function<void(PDEV*)>& change) {
        PDEV* pdev = EnableDefault();
        if (!pdev) return "(no PDEV)";
        OpenJob(pdev);
        change(pdev);
        const job::DecodedJob decoded = WholeJob(pdev);
        EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
        return decoded.PjlValue(key).value_or("(none)");
    }

    // The bytes of the job prologue of a mono job at 600 dpi with the
    // default settings (A4, one copy, simplex) on this machine.
    static Bytes MonoA4Prologue(std::u16string_view owner) {
        std::string text = std::string(kUel) +
                           "@PJL COMMENT Version 3.0 For Windows 2000\r\n"
                           "@PJL SET COPIES=1\r\n"
                           "@PJL SET DUPLEX=OFF\r\n"
                           "@PJL SET BINDING=LONGEDGE\r\n"
                           "@PJL SET PAPERTYPE=PLAIN\r\n"
                           "@PJL SET JOBOWNER=\"";
        for (char16_t c : owner) {
            text += char(c & 0xFF);
            text += char(c >> 8);
        }
        text += "\"\r\n"
                "@PJL SET PAPER=A4\r\n"
                "@PJL SET DENSITY=LEVEL2\r\n"
                "@PJL SET RESOLUTION=600\r\n"
                "@PJL SET FINE=OFF\r\n"
                "@PJL ENTER LANGUAGE=PCLXL\r\n"
                ") HP-PCL XL;3;0;Comment Tamrend PCL XL driver 5.00 for Korvan printers";
        text += '\0';
        text += '\n';
        Bytes bytes = ToBytes(text);
        const Bytes session = Hex("C0 00 F8 86 D1 58 02 58 02 F8 89 C0 03 F8 8F 41 C0 00 F8 88 C0 01 F8 82 48");
        bytes.insert(bytes.end(), session.begin(), session.end());
        return bytes;
    }

    static Bytes Epilogue() {
        Bytes bytes = Hex("49 42");
        const Bytes end = ToBytes(std::string(kUel) + "@PJL EOJ\r\n" + kUel);
        bytes.insert(bytes.end(), end.begin(), end.end());
        return bytes;
    }

    static Bytes Joined(Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
};

TEST_F(JobFrame, MonoA4JobIsFramedByItsPrologueAndEpilogue) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    ASSERT_TRUE(Pxl_BeginSession(pdev));
    EXPECT_TRUE(pdev->Job.JobFlags & JOBF_SESSION_BEGUN);
    ASSERT_TRUE(Pxl_CloseDataSource(pdev));
    ASSERT_TRUE(Pjl_WriteEndOfJob(pdev));
    const Bytes bytes = TakeOutput(pdev);
    const Bytes expected = Joined(MonoA4Prologue(u"KORVAN-PC"), Epilogue());
    EXPECT_EQ(HexText(bytes), HexText(expected));

    const job::DecodedJob decoded = job::DecodeJob(std::span<const uint8_t>(bytes.data(), bytes.size()));
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(decoded.whitespace, 0u);
    EXPECT_EQ(decoded.size, bytes.size());
    ASSERT_EQ(decoded.streams.size(), 1u);
    EXPECT_TRUE(decoded.streams[0].present);
    EXPECT_EQ(decoded.streams[0].binding, ')');
    EXPECT_EQ(decoded.streams[0].protocolClass, "3");
    EXPECT_EQ(decoded.streams[0].raw.size(), size_t(PXL_STREAM_HEADER_LENGTH));
    std::vector<std::string> names;
    for (const auto& op : decoded.ops) names.emplace_back(op.name);
    EXPECT_EQ(names, (std::vector<std::string>{"BeginSession", "OpenDataSource", "CloseDataSource", "EndSession"}));
    const job::Operator* session = decoded.First("BeginSession");
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(session->Int("Measure"), 0);
    EXPECT_EQ(session->Int("UnitsPerMeasure", 0), 600);
    EXPECT_EQ(session->Int("UnitsPerMeasure", 1), 600);
    EXPECT_EQ(session->Int("ErrorReport"), 3);
    const job::Operator* source = decoded.First("OpenDataSource");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->Int("SourceType"), 0);
    EXPECT_EQ(source->Int("DataOrg"), 1);
    EXPECT_EQ(decoded.PjlValue("PAPER"), "A4");
    ASSERT_FALSE(decoded.trailer.empty());
    EXPECT_EQ(decoded.trailer.back().uel, true);
    bool eoj = false;
    for (const auto& line : decoded.trailer) eoj = eoj || line.command == "EOJ";
    EXPECT_TRUE(eoj);
}

TEST_F(JobFrame, SessionIsBegunOnceUnlessDuplexIsManual) {
    for (int mode = 0; mode <= 4; ++mode) {
        SCOPED_TRACE(mode);
        PDEV* pdev = EnableDefault();
        ASSERT_NE(pdev, nullptr);
        OpenJob(pdev);
        pdev->Job.JobDevmode.priv.DuplexBinding = BYTE(mode);
        ASSERT_TRUE(Pxl_BeginSession(pdev));
        const size_t first = TakeOutput(pdev).size();
        ASSERT_TRUE(Pxl_BeginSession(pdev));
        const size_t second = TakeOutput(pdev).size();
        if (mode < 3) {
            EXPECT_TRUE(pdev->Job.JobFlags & JOBF_SESSION_BEGUN);
            EXPECT_EQ(second, 0u);
        } else {
            EXPECT_FALSE(pdev->Job.JobFlags & JOBF_SESSION_BEGUN);
            EXPECT_EQ(second, first);
        }
    }
}

TEST_F(JobFrame, DuplexAndBindingByDuplexModeAndDevmode) {
    struct Duplex {
        int mode;
        int dmDuplex;
        const char* duplex;
        const char* binding;
    };
    const Duplex table[] = {
        {0, DMDUP_SIMPLEX, "OFF", "LONGEDGE"},   {0, DMDUP_VERTICAL, "ON", "SHORTEDGE"},
        {0, DMDUP_HORIZONTAL, "ON", "LONGEDGE"}, {1, DMDUP_SIMPLEX, "ON", "SHORTEDGE"},
        {1, DMDUP_VERTICAL, "ON", "SHORTEDGE"},  {1, DMDUP_HORIZONTAL, "ON", "SHORTEDGE"},
        {2, DMDUP_SIMPLEX, "ON", "LONGEDGE"},    {2, DMDUP_VERTICAL, "ON", "SHORTEDGE"},
        {2, DMDUP_HORIZONTAL, "ON", "LONGEDGE"}, {3, DMDUP_SIMPLEX, "OFF", "SHORTEDGE"},
        {3, DMDUP_VERTICAL, "OFF", "SHORTEDGE"}, {3, DMDUP_HORIZONTAL, "OFF", "SHORTEDGE"},
        {4, DMDUP_SIMPLEX, "OFF", "LONGEDGE"},   {4, DMDUP_VERTICAL, "OFF", "LONGEDGE"},
        {4, DMDUP_HORIZONTAL, "OFF", "LONGEDGE"},
    };
    for (const Duplex& d : table) {
        SCOPED_TRACE(testing::Message() << "duplex mode " << d.mode << ", dmDuplex " << d.dmDuplex);
        auto change = [&](PDEV* p) {
            p->Job.JobDevmode.priv.DuplexBinding = BYTE(d.mode);
            p->Job.JobDevmode.pub.dmDuplex = SHORT(d.dmDuplex);
        };
        EXPECT_EQ(PjlValueOf("DUPLEX", change), d.duplex);
        EXPECT_EQ(PjlValueOf("BINDING", change), d.binding);
    }
}

TEST_F(JobFrame, PaperNameTable) {
    struct Paper {
        int code;
        const char* name;
    };
    const Paper papers[] = {
        {1, "LETTER"},     {5, "LEGAL"},       {14, "FOLIO"},      {7, "EXEC"},       {9, "A4"},
        {13, "JIS B5"},    {11, "A5"},         {27, "DL"},         {28, "C5"},        {20, "COM10"},
        {37, "MONARCH"},   {70, "A6"},         {34, "B5"},         {31, "C6"},        {6, "STATEMENT"},
        {250, "BIG16K"},   {252, "BIG32K"},    {245, "16K"},       {246, "32K"},      {242, "ZL"},
        {43, "JPOST"},     {146, "YOUGATA6"},  {150, "NAGAGATA3"}, {148, "NAGAGATA4"}, {149, "KAGUGATA3"},
        {243, "OFICIO"},   {241, "B6"},        {276, "YOUGATA4"},  {277, "JPOSTCARD"}, {278, "YOUNAGA3"},
        {279, "NAGAGATA3"}, {280, "YOUGATA2"}, {82, "JPOSTD"},     {144, "YOUGATA3"}, {145, "YOUGATA4"},
        {147, "YOUNAGA3"}, {8, "CUSTOM"},      {290, "CUSTOM"},    {0, "CUSTOM"},     {-1, "CUSTOM"},
    };
    for (const Paper& p : papers) {
        char name[16] = "unchanged";
        const BYTE value = PaperName_Lookup(PaperNameTable, p.code, name, sizeof(name), PAPER_NAME_DEFAULT);
        EXPECT_STREQ(name, p.name) << p.code;
        EXPECT_EQ(value, std::string(p.name) == "CUSTOM" ? 0 : 1) << p.code;
    }
    // Without a buffer only the value byte is given; a short buffer is cut.
    EXPECT_EQ(PaperName_Lookup(PaperNameTable, 9, nullptr, 0, PAPER_NAME_DEFAULT), 1);
    char shortName[4];
    PaperName_Lookup(PaperNameTable, 6, shortName, sizeof(shortName), PAPER_NAME_DEFAULT);
    EXPECT_STREQ(shortName, "STA");
}

TEST_F(JobFrame, PaperOfTheJob) {
    struct PaperCase {
        const char* name;
        std::function<void(RendDevmode&, LayoutState&)> change;
        const char* paper;
    };
    const PaperCase cases[] = {
        {"A5", [](RendDevmode& s, LayoutState&) { s.pub.dmPaperSize = 11; }, "A5"},
        {"A5 fed long edge first",
         [](RendDevmode& s, LayoutState&) {
             s.pub.dmPaperSize = 11;
             s.priv.A5FeedFlags[0] = s.priv.A5FeedFlags[1] = 1;
         },
         "A5L"},
        {"A5 with one flag",
         [](RendDevmode& s, LayoutState&) {
             s.pub.dmPaperSize = 11;
             s.priv.A5FeedFlags[1] = 1;
         },
         "A5"},
        {"a custom size", [](RendDevmode& s, LayoutState&) { s.pub.dmPaperSize = 290; }, "CUSTOM"},
        {"a model paper without a name", [](RendDevmode& s, LayoutState&) { s.pub.dmPaperSize = 8; }, "CUSTOM"},
        {"JIS B5", [](RendDevmode& s, LayoutState&) { s.pub.dmPaperSize = 13; }, "JIS B5"},
        {"a paper the model does not know",
         [](RendDevmode& s, LayoutState& l) {
             s.pub.dmPaperSize = 500;
             l.SubstitutedPaper = 1;
         },
         "LETTER"},
        {"the page's paper override wins",
         [](RendDevmode& s, LayoutState& l) {
             s.pub.dmPaperSize = 500;
             l.SubstitutedPaper = 9;
             s.priv.PaperOverride = 5;
         },
         "LEGAL"},
    };
    for (const PaperCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PjlValueOf("PAPER", [&](PDEV* p) { c.change(p->Job.JobDevmode, p->Job.State.Layout); }), c.paper);
    }
}

TEST_F(JobFrame, SettingsInThePjlHeader) {
    struct Setting {
        const char* name;
        std::function<void(RendDevmode&)> change;
        const char* key;
        const char* value;
    };
    const Setting settings[] = {
        {"copies collated by the driver",
         [](RendDevmode& s) {
             s.pub.dmCopies = 3;
             s.pub.dmCollate = DMCOLLATE_TRUE;
         },
         "COPIES", "1"},
        {"copies",
         [](RendDevmode& s) {
             s.pub.dmCopies = 3;
             s.pub.dmCollate = DMCOLLATE_FALSE;
         },
         "COPIES", "3"},
        {"density 0", [](RendDevmode& s) { s.priv.DensityLevel = 0; }, "DENSITY", "LEVEL0"},
        {"density 1", [](RendDevmode& s) { s.priv.DensityLevel = 1; }, "DENSITY", "LEVEL2"},
        {"density 2", [](RendDevmode& s) { s.priv.DensityLevel = 2; }, "DENSITY", "LEVEL4"},
        {"density 7", [](RendDevmode& s) { s.priv.DensityLevel = 7; }, "DENSITY", "LEVEL2"},
        {"paper type 0", [](RendDevmode& s) { s.priv.MediaIndex = 0; }, "PAPERTYPE", "PLAIN"},
        {"paper type 1", [](RendDevmode& s) { s.priv.MediaIndex = 1; }, "PAPERTYPE", "TOUGH"},
        {"paper type 2", [](RendDevmode& s) { s.priv.MediaIndex = 2; }, "PAPERTYPE", "ENVELOPE"},
        {"paper type 3", [](RendDevmode& s) { s.priv.MediaIndex = 3; }, "PAPERTYPE", "CARDSTOCK"},
        {"paper type 4", [](RendDevmode& s) { s.priv.MediaIndex = 4; }, "PAPERTYPE", "LABELS"},
        {"paper type 5", [](RendDevmode& s) { s.priv.MediaIndex = 5; }, "PAPERTYPE", "TRANSPARENCY"},
        {"paper type 6", [](RendDevmode& s) { s.priv.MediaIndex = 6; }, "PAPERTYPE", "TISSUE"},
        {"fine mode", [](RendDevmode& s) { s.priv.Value13566 = 1; }, "FINE", "ON"},
        {"fine mode 2", [](RendDevmode& s) { s.priv.Value13566 = 2; }, "FINE", "OFF"},
        {"no render model", [](RendDevmode&) {}, "RENDERMODEL", "(none)"},
        {"render model", [](RendDevmode& s) { s.priv.Value13556 = 1; }, "RENDERMODEL", "G2"},
        {"1200 dpi", [](RendDevmode& s) { s.priv.ColorAdjust.ResolutionStep = 1; }, "RESOLUTION", "600"},
    };
    for (const Setting& s : settings) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(PjlValueOf(s.key, [&](PDEV* p) { s.change(p->Job.JobDevmode); }), s.value);
    }
}

TEST_F(JobFrame, HighResolutionSessionMeasuresIn1200ths) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    pdev->Job.JobDevmode.priv.ColorAdjust.ResolutionStep = 1;
    const job::DecodedJob decoded = WholeJob(pdev);
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    const job::Operator* session = decoded.First("BeginSession");
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(session->Int("UnitsPerMeasure", 0), 1200);
    EXPECT_EQ(session->Int("UnitsPerMeasure", 1), 1200);
    EXPECT_EQ(decoded.PjlValue("RESOLUTION"), "600");
    // The session block as the stream holds it.
    ASSERT_TRUE(Pxl_WriteBeginSession(pdev, 1200));
    EXPECT_EQ(HexText(TakeOutput(pdev)), HexText(Hex("C0 00 F8 86 D1 B0 04 B0 04 F8 89 C0 03 F8 8F 41")));
}

TEST_F(JobFrame, JobHandlingSettingIsOnlyReported) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    Pjl_WriteJobHeader(pdev);
    const Bytes plain = TakeOutput(pdev);
    EXPECT_STREQ(pdev->Job.Gstate.CheckText, "");
    for (int setting = 1; setting <= 3; ++setting) {
        OpenJob(pdev);
        pdev->Job.JobDevmode.priv.Value13564 = BYTE(setting);
        Pjl_WriteJobHeader(pdev);
        EXPECT_EQ(TakeOutput(pdev), plain) << setting;
        EXPECT_EQ(std::string(pdev->Job.Gstate.CheckText).rfind("File:pjl Line:", 0), 0u) << setting;
    }
}

TEST_F(JobFrame, ColourJobsHandColourTreatmentToThePrinter) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    pdev->Job.JobDevmode.pub.dmColor = DMCOLOR_COLOR;
    const job::DecodedJob decoded = WholeJob(pdev);
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    std::vector<std::string> names;
    for (const auto& op : decoded.ops) names.emplace_back(op.name);
    EXPECT_EQ(names, (std::vector<std::string>{"BeginSession", "OpenDataSource", "VendorUnique", "CloseDataSource",
                                               "EndSession"}));
    const job::Operator* vendor = decoded.First("VendorUnique");
    ASSERT_NE(vendor, nullptr);
    ASSERT_EQ(vendor->attributes.size(), 2u);
    EXPECT_EQ(vendor->attributes[0].id, 0x91);
    EXPECT_EQ(vendor->attributes[0].value.Int(), 0x68702002);
    EXPECT_EQ(vendor->attributes[1].id, 0x93);
    EXPECT_EQ(vendor->attributes[1].value.Int(), 0);
}

// The job's owner: the computer name as its UTF-16LE bytes.
TEST_F(JobFrame, JobOwnerIsTheComputerName) {
    const std::u16string names[] = {
        u"KORVAN-PC",
        u"\u5370\u5237\u670D\u52A1\u5668-\u4E22",  // Chinese; U+4E22's low byte is a quotation mark
        std::u16string(250, u'N'),                   // too long to be read: an empty owner
    };
    for (const std::u16string& name : names) {
        SCOPED_TRACE(job::Utf16ToUtf8(name));
        machine().MutableSettings().computerName = name;
        PDEV* pdev = EnableDefault();
        ASSERT_NE(pdev, nullptr);
        OpenJob(pdev);
        Pjl_WriteJobHeader(pdev);
        const Bytes bytes = TakeOutput(pdev);
        const std::u16string owner = name.size() < 200 ? name : u"";
        std::string line = "@PJL SET JOBOWNER=\"";
        for (char16_t c : owner) {
            line += char(c & 0xFF);
            line += char(c >> 8);
        }
        line += "\"\r\n@PJL SET PAPER=";
        const std::string text(bytes.begin(), bytes.end());
        EXPECT_NE(text.find(line), std::string::npos) << HexText(bytes);

        Pxl_WriteBeginSession(pdev, 600);
        Pxl_OpenDataSource(pdev);
        Pxl_CloseDataSource(pdev);
        Pjl_WriteEndOfJob(pdev);
        const Bytes rest = TakeOutput(pdev);
        const Bytes all = Joined(bytes, rest);
        const job::DecodedJob decoded = job::DecodeJob(std::span<const uint8_t>(all.data(), all.size()));
        ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
        bool found = false;
        for (const auto& l : decoded.header) {
            if (!l.hasOwner) continue;
            found = true;
            EXPECT_EQ(l.owner, owner);
        }
        EXPECT_TRUE(found);
    }
}

TEST_F(JobFrame, BindsTheImageLibraryAtSessionStart) {
    if (Ips_Binding().Library) GTEST_SKIP() << "the library is bound in this process already";
    InstallModule(machine(), "Zodaridoz.dll", InDriverFolder(kIpsFile));
    HMODULE module = LoadLibraryW(InDriverFolder(kTamrendFile).c_str());
    ASSERT_NE(module, nullptr);
    Tamrend_SetModule(module);
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    ASSERT_TRUE(Pxl_WriteBeginSession(pdev, 600));
    EXPECT_EQ(Ips_Binding().Library, GetModuleHandleW(InDriverFolder(kIpsFile).c_str()));
    EXPECT_NE(Ips_Binding().GrayAdjustmentTRC, nullptr);
    Tamrend_SetModule(nullptr);
}

// A printer whose print processor is "Pellixpps" gets the session start in
// its place in the stream, wherever the stream goes.
class PellixProcessor : public JobFrame {
protected:
    void SetUp() override {
        JobFrame::SetUp();
        PutMachineFile(machine(), u"C:\\Windows\\System32\\spool\\prtprocs\\x64\\pellixpp.dll");
        ASSERT_TRUE(AddPrintProcessorW(nullptr, nullptr, const_cast<LPWSTR>(u"pellixpp.dll"),
                                       const_cast<LPWSTR>(u"Pellixpps")))
            << GetLastError();
        PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE admin = nullptr;
        ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kKorvanLaser), &admin, &access));
        DWORD needed = 0;
        GetPrinterW(admin, 2, nullptr, 0, &needed);
        std::vector<BYTE> block(needed);
        ASSERT_TRUE(GetPrinterW(admin, 2, block.data(), needed, &needed));
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(block.data());
        std::u16string processor = u"Pellixpps";
        info->pPrintProcessor = processor.data();
        info->pSecurityDescriptor = nullptr;
        ASSERT_TRUE(SetPrinterW(admin, 2, block.data(), 0)) << GetLastError();
        ClosePrinter(admin);
    }

    // A spool file on the machine for the job's routing.
    HANDLE SpoolFile() {
        HANDLE file = CreateFileW(u"C:\\vardo.tmp", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        return file;
    }

    static Bytes FileBytes(HANDLE file) {
        LARGE_INTEGER zero{};
        SetFilePointerEx(file, zero, nullptr, FILE_BEGIN);
        Bytes bytes(GetFileSize(file, nullptr));
        DWORD read = 0;
        if (!bytes.empty()) {
            EXPECT_TRUE(ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr));
        }
        bytes.resize(read);
        return bytes;
    }
};

TEST_F(PellixProcessor, SessionStartKeepsItsPlaceInTheStream) {
    struct Route {
        const char* name;
        UINT32 routing;
    };
    const Route routes[] = {
        {"printer", OUTF_TO_PRINTER},
        {"spool file", OUTF_TO_SPOOL_FILE},
        {"printer and spool file", OUTF_TO_PRINTER | OUTF_TO_SPOOL_FILE},
    };
    const Bytes expected = Joined(MonoA4Prologue(u"KORVAN-PC"), Epilogue());
    for (const Route& r : routes) {
        SCOPED_TRACE(r.name);
        PDEV* pdev = EnableDefault();
        ASSERT_NE(pdev, nullptr);
        OpenJob(pdev, r.routing);
        HANDLE file = SpoolFile();
        pdev->Job.State.Spool.SpoolFileHandle = file;
        ASSERT_TRUE(Pxl_BeginSession(pdev));
        // The job header is closed: with a spool file it is all in the file.
        if (r.routing & OUTF_TO_SPOOL_FILE) {
            EXPECT_EQ(pdev->Job.State.Output.OutBufferFill, 0u);
            EXPECT_EQ(FileBytes(file), MonoA4Prologue(u"KORVAN-PC"));
        }
        Pxl_CloseDataSource(pdev);
        Pjl_WriteEndOfJob(pdev);
        Spool_Flush(pdev);
        EXPECT_EQ(HexText(JobBytes()), HexText(r.routing & OUTF_TO_PRINTER ? expected : Bytes()));
        EXPECT_EQ(HexText(FileBytes(file)), HexText(r.routing & OUTF_TO_SPOOL_FILE ? expected : Bytes()));
        CloseHandle(file);
        CloseJob();
    }
}

// The processor still gets the 16-byte session block as a write of its own.
TEST_F(PellixProcessor, SessionBlockIsAWriteOfItsOwn) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    const size_t header = MonoA4Prologue(u"KORVAN-PC").size() - 25;  // less session and data source
    const std::vector<DWORD> writes = WriteSizes(pdev, [](PDEV* p) {
        Pxl_BeginSession(p);
        Pxl_CloseDataSource(p);
        Pjl_WriteEndOfJob(p);
    });
    EXPECT_EQ(writes, (std::vector<DWORD>{DWORD(header), 16, DWORD(9 + Epilogue().size())}));
    EXPECT_EQ(HexText(JobBytes()), HexText(Joined(MonoA4Prologue(u"KORVAN-PC"), Epilogue())));
}

}  // namespace
}  // namespace tam::test
