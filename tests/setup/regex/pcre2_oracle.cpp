#include "pcre2_oracle.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "regex_test_util.h"

namespace regex_test {

std::string Show(const std::u16string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(char(c));
        } else {
            out += "\\x{";
            bool started = false;
            for (int shift = 12; shift >= 0; shift -= 4) {
                int digit = (c >> shift) & 15;
                if (digit || started || shift == 0) {
                    out.push_back(kHex[digit]);
                    started = true;
                }
            }
            out += "}";
        }
    }
    return out;
}

Pcre2Oracle::Pcre2Oracle(const std::u16string& pattern, uint32_t clearOptions) {
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(context, PCRE2_NEWLINE_LF);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    const uint32_t options = (PCRE2_ANCHORED | PCRE2_ENDANCHORED | PCRE2_DOLLAR_ENDONLY | PCRE2_ALLOW_EMPTY_CLASS |
                              PCRE2_ALT_CIRCUMFLEX | PCRE2_NO_AUTO_POSSESS | PCRE2_NO_START_OPTIMIZE |
                              PCRE2_NO_DOTSTAR_ANCHOR) &
                             ~clearOptions;
    m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &errorCode,
                           &errorOffset, context);
    pcre2_compile_context_free(context);
    if (!m_code) {
        PCRE2_UCHAR buffer[256];
        pcre2_get_error_message(errorCode, buffer, 256);
        for (PCRE2_UCHAR* p = buffer; *p; ++p) m_error.push_back(char(*p));
        m_error += " at " + std::to_string(errorOffset);
    }
}

Pcre2Oracle::~Pcre2Oracle() { pcre2_code_free(m_code); }

OracleResult Pcre2Oracle::Match(const std::u16string& text, unsigned matchLimit) const {
    OracleResult result;
    if (!m_code) {
        result.kind = OracleResult::kCompileError;
        result.error = m_error;
        return result;
    }
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(m_code, nullptr);
    pcre2_match_context* context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(context, matchLimit);
    pcre2_set_depth_limit(context, 100000);
    const int rc = pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, data, context);
    if (rc >= 0) {
        uint32_t captures = 0;
        pcre2_pattern_info(m_code, PCRE2_INFO_CAPTURECOUNT, &captures);
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
        const uint32_t pairs = pcre2_get_ovector_count(data);
        result.kind = OracleResult::kMatch;
        result.record = {1, int(captures)};
        for (uint32_t group = 0; group <= captures; ++group) {
            if (group < pairs && ovector[2 * group] != PCRE2_UNSET) {
                result.record.push_back(int(ovector[2 * group]));
                result.record.push_back(int(ovector[2 * group + 1]));
            } else {
                result.record.push_back(-1);
                result.record.push_back(-1);
            }
        }
    } else if (rc == PCRE2_ERROR_NOMATCH) {
        result.kind = OracleResult::kNoMatch;
    } else {
        result.kind = OracleResult::kLimit;  // match or depth limit, or another run-time error
    }
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
    return result;
}

}  // namespace regex_test
