#include "platform/qtText.h"

#include "platform/textEncoding.h"

namespace platform {

QString fromWindows1252(const std::string& text)
{
    return QString::fromStdString(windows1252ToUtf8(text));
}

std::string toWindows1252(const QString& text)
{
    std::string out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = static_cast<char>(u);
        } else {
            for (unsigned b = 0x80; b < 0xA0; ++b)
                if (windows1252CodePoint(static_cast<unsigned char>(b)) == u)
                    byte = static_cast<char>(b);
        }
        out.push_back(byte);
    }
    return out;
}

}  // namespace platform
