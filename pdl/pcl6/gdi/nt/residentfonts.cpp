// The printer's resident fonts, in the order of the substitution list's
// indexes (1..93): the 16-character name the printer knows each by and its
// symbol set. Text fonts take Roman-8 (277); the symbol and dingbat fonts
// take their own sets.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/nt/textfont.h"

#include "pcl6/gdi/fontsub.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/pdev.h"

namespace {

constexpr UINT16 kRoman8 = 277;
constexpr UINT16 kSymbol = 621;
constexpr UINT16 kWingdings = 18540;
constexpr UINT16 kDingbats = 460;

struct ResidentFont {
    char name[17];
    UINT16 symbolSet;
};

constexpr ResidentFont kResidentFonts[] = {
    {"Albertus    Xb  ", kRoman8}, {"Albertus    Md  ", kRoman8}, {"AntiqOlive      ", kRoman8},
    {"AntiqOlive  Bd  ", kRoman8}, {"AntiqOlive  It  ", kRoman8}, {"Arial           ", kRoman8},
    {"Arial       Bd  ", kRoman8}, {"Arial       BdIt", kRoman8}, {"Arial       It  ", kRoman8},
    {"CG Omega        ", kRoman8}, {"CG Omega    Bd  ", kRoman8}, {"CG Omega    BdIt", kRoman8},
    {"CG Omega    It  ", kRoman8}, {"CG Times        ", kRoman8}, {"CG Times    Bd  ", kRoman8},
    {"CG Times    BdIt", kRoman8}, {"CG Times    It  ", kRoman8}, {"Clarendon   CdBd", kRoman8},
    {"Coronet         ", kRoman8}, {"Courier         ", kRoman8}, {"Courier     Bd  ", kRoman8},
    {"Courier     BdIt", kRoman8}, {"Courier     It  ", kRoman8}, {"CourierPS       ", kRoman8},
    {"CourierPS   Bd  ", kRoman8}, {"CourierPS   BdOb", kRoman8}, {"CourierPS   Ob  ", kRoman8},
    {"Garamond Antiqua", kRoman8}, {"Garamond    Hlb ", kRoman8}, {"Garamond    KrHb", kRoman8},
    {"Garamond    Krsv", kRoman8}, {"Helvetica       ", kRoman8}, {"Helvetica   Bd  ", kRoman8},
    {"Helvetica   BdOb", kRoman8}, {"HelveticaNr     ", kRoman8}, {"HelveticaNr Bd  ", kRoman8},
    {"HelveticaNr BdOb", kRoman8}, {"HelveticaNr Ob  ", kRoman8}, {"Helvetica   Ob  ", kRoman8},
    {"HP David        ", kRoman8}, {"HP David    Bd  ", kRoman8}, {"HP Miryam       ", kRoman8},
    {"HP Miryam   Bd  ", kRoman8}, {"HP Miryam   It  ", kRoman8}, {"HP NarkisTam    ", kRoman8},
    {"HP NarkisTam Bd ", kRoman8}, {"ITCAvantGard Bk ", kRoman8}, {"ITCAvantGardBkOb", kRoman8},
    {"ITCAvantGard Dm ", kRoman8}, {"ITCAvantGardDmOb", kRoman8}, {"ITCBookman  Dm  ", kRoman8},
    {"ITCBookman  DmIt", kRoman8}, {"ITCBookman  Lt  ", kRoman8}, {"ITCBookman  LtIt", kRoman8},
    {"ITCZapfChancery ", kRoman8}, {"ITCZapfDingbats ", kDingbats}, {"Koufi           ", kRoman8},
    {"Koufi       Bd  ", kRoman8}, {"LetterGothic    ", kRoman8}, {"LetterGothic Bd ", kRoman8},
    {"LetterGothic It ", kRoman8}, {"Marigold        ", kRoman8}, {"Naskh           ", kRoman8},
    {"Naskh       Bd  ", kRoman8}, {"NewCentSchlbkBd ", kRoman8}, {"NewCentSchlbkBdI", kRoman8},
    {"NewCentSchlbkIt ", kRoman8}, {"NewCentSchlbkRmn", kRoman8}, {"Palatino    Bd  ", kRoman8},
    {"Palatino    BdIt", kRoman8}, {"Palatino    It  ", kRoman8}, {"Palatino    Rmn ", kRoman8},
    {"Ryadh           ", kRoman8}, {"Ryadh       Bd  ", kRoman8}, {"SymbolPS        ", kSymbol},
    {"Symbol          ", kSymbol}, {"Times       Bd  ", kRoman8}, {"Times       BdIt", kRoman8},
    {"Times       It  ", kRoman8}, {"TimesNewRmn     ", kRoman8}, {"TimesNewRmn Bd  ", kRoman8},
    {"TimesNewRmn BdIt", kRoman8}, {"TimesNewRmn It  ", kRoman8}, {"Times       Rmn ", kRoman8},
    {"Univers     Bd  ", kRoman8}, {"Univers     BdIt", kRoman8}, {"Univers     Cd  ", kRoman8},
    {"Univers     CdBd", kRoman8}, {"UniversCdBdIt   ", kRoman8}, {"Univers     CdIt", kRoman8},
    {"Univers     Md  ", kRoman8}, {"Univers     MdIt", kRoman8}, {"Wingdings       ", kWingdings},
};
static_assert(sizeof(kResidentFonts) / sizeof(kResidentFonts[0]) == 93);

}  // namespace

int Txt_SubstituteFont(PDEV* pdev, FONTOBJ* font, LPSTR name, UINT16* symbolSet) {
    if (!pdev || !font) return 0;
    const FontSubstitutionList& list = pdev->FontSubstitution;
    if (!list.Count || !list.Entries || Job_Settings(pdev).priv.UseSoftFont) return 0;
    const IFIMETRICS* ifi = FONTOBJ_pifi(font);
    if (!ifi || !ifi->dpwszFaceName) return 0;
    LPCWSTR face = reinterpret_cast<LPCWSTR>(reinterpret_cast<const BYTE*>(ifi) + ifi->dpwszFaceName);
    for (UINT32 i = 0; i < list.Count; ++i) {
        const FontSubstitutionEntry& entry = list.Entries[i];
        const WCHAR index = entry.Units[FONTSUB_RESIDENT_INDEX];
        if (!index || lstrcmpW(entry.Units, face) != 0) continue;
        if (index < 1 || index > 93) return 0;
        const ResidentFont& resident = kResidentFonts[index - 1];
        if (name) lstrcpynA(name, resident.name, 17);
        if (symbolSet) *symbolSet = resident.symbolSet;
        return index;
    }
    return 0;
}
