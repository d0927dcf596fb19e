// Text typed by an operator through every conversion: never a crash, and whatever is accepted
// keeps its promises (16-bit range, date text that reads back to the same moment).
#include "data/conversions.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const QLocale locales[] = {QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China),
                                      QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::English, QLocale::UnitedStates), QLocale::c()};
    conv::setLocale(locales[data[0] % 4]);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const auto n = conv::toInt16(text);
    if (n && (*n < -32768 || *n > 32767))
        std::abort();
    if (n && !conv::isNumeric(text))
        std::abort();
    if (const auto d = conv::toNumber(text)) {
        // Shown as text and read again, a number stays the same number.
        const auto again = conv::toNumber(conv::numberToText(*d));
        if (!again || *again != *d)
            std::abort();
    }
    if (const auto dt = conv::textToDateTime(text)) {
        if (dt->isValid() && dt->date().year() >= 1000 && dt->date().year() <= 9999) {
            const auto back = conv::textToDateTime(conv::dateTimeToText(*dt));
            if (!back || *back != dt->addMSecs(-dt->time().msec()))
                std::abort();
            const auto stored = conv::fromStorage(conv::toStorage(*dt));
            if (!stored || *stored != dt->addMSecs(-dt->time().msec()))
                std::abort();
        }
    }
    if (const auto stored = conv::fromStorage(text))
        (void)conv::dateTimeToText(*stored);
    return 0;
}
