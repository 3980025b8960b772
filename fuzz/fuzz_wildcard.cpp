// Any pattern against any text: the matcher agrees with a plain reading of the wildcard rules.
// The input is UTF-8: the pattern up to the first line feed, the text after it.
#include "fuzzcheck.h"

#include "platform/wildcard.h"

#include <vector>

using namespace kuranote;

namespace {

// The rules read one element at a time, straight from the pattern, with a table of results for every place in the
// pattern and the text: slow, but too simple to share a fault with the compiled matcher.
class ReferenceMatcher
{
public:
    ReferenceMatcher(QStringView pattern, QStringView text)
        : m_pattern(pattern)
        , m_text(text)
        , m_memo(size_t(pattern.size() + 1) * size_t(text.size() + 1), Unknown)
    {
    }

    bool isValid() const
    {
        for (qsizetype i = 0; i < m_pattern.size(); ++i) {
            if (m_pattern[i] != u'[')
                continue;
            bool inList = false;
            i = scanList(i, u'\0', &inList);
            if (i < 0)
                return false;
            --i;
        }
        return true;
    }

    bool matches(qsizetype p = 0, qsizetype t = 0)
    {
        if (p == m_pattern.size())
            return t == m_text.size();
        signed char& memo = m_memo[size_t(p) * size_t(m_text.size() + 1) + size_t(t)];
        if (memo != Unknown)
            return memo;
        bool result = false;
        if (m_pattern[p] == u'*') {
            result = matches(p + 1, t) || (t < m_text.size() && matches(p, t + 1));
        } else if (t < m_text.size()) {
            qsizetype next = p + 1;
            const QChar unit = m_text[t];
            switch (m_pattern[p].unicode()) {
            case u'?':
                result = true;
                break;
            case u'#':
                result = unit >= u'0' && unit <= u'9';
                break;
            case u'[': {
                bool inList = false;
                next = scanList(p, unit, &inList);
                result = inList != (m_pattern[p + 1] == u'!');
                break;
            }
            default:
                result = unit == m_pattern[p];
                break;
            }
            result = result && matches(next, t + 1);
        }
        memo = result;
        return result;
    }

private:
    static constexpr signed char Unknown = -1;

    // Reads the list opening at `open`; tells whether `unit` is in it and returns the index after its "]",
    // or -1 when the list is never closed or holds a descending range.
    qsizetype scanList(qsizetype open, QChar unit, bool* inList) const
    {
        qsizetype i = open + 1;
        if (i < m_pattern.size() && m_pattern[i] == u'!')
            ++i;
        for (; i < m_pattern.size() && m_pattern[i] != u']'; ++i) {
            QChar low = m_pattern[i];
            QChar high = low;
            const bool range = i + 2 < m_pattern.size() && m_pattern[i + 1] == u'-' && m_pattern[i + 2] != u']';
            if (range) {
                high = m_pattern[i + 2];
                if (high < low)
                    return -1;
                i += 2;
            }
            if (unit >= low && unit <= high)
                *inList = true;
        }
        return i < m_pattern.size() ? i + 1 : -1;
    }

    QStringView m_pattern;
    QStringView m_text;
    std::vector<signed char> m_memo;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const qsizetype split = bytes.indexOf('\n');
    const QString pattern = QString::fromUtf8(split < 0 ? bytes : bytes.first(split));
    const QString text = split < 0 ? QString() : QString::fromUtf8(bytes.sliced(split + 1));

    const WildcardPattern compiled(pattern);
    ReferenceMatcher reference(pattern, text);
    FUZZ_REQUIRE(compiled.isValid() == reference.isValid());
    if (!compiled.isValid()) {
        FUZZ_REQUIRE(!compiled.errorString().isEmpty() && !compiled.matches(text));
        return 0;
    }
    FUZZ_REQUIRE(compiled.matches(text) == reference.matches());
    return 0;
}
