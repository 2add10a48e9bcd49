#include "attorneys/RosterWidgets.h"

#include <QLineEdit>
#include <QValidator>
#include <array>

namespace {

// Code page 1252 from 0x80 to 0x9F; its five unassigned bytes keep the control characters of the
// same value, as Windows maps them, so that every byte has a character.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte of a character, or -1 when it has none.
int ByteOf(QChar c) {
    const char16_t unicode = c.unicode();
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF))
        return unicode;
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == unicode)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

class AnsiValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (const QChar c : input) {
            if (!IsAnsiCharacter(c))
                return Invalid;
        }
        return Acceptable;
    }
};

} // namespace

QString FromAnsi(std::string_view text) {
    QString result(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* out = result.data();
    for (const char byte : text) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = (value >= 0x80 && value < 0xA0) ? QChar(kHighControlRange[value - 0x80]) : QChar(value);
    }
    return result;
}

std::string ToAnsi(const QString& text) {
    std::string result;
    result.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const int byte = ByteOf(c);
        result += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return result;
}

bool IsAnsiCharacter(QChar c) {
    return c.unicode() >= 0x20 && ByteOf(c) >= 0;
}

void SetupRosterEdit(QLineEdit* edit, int maxLength) {
    edit->setMaxLength(maxLength);
    edit->setValidator(new AnsiValidator(edit));
}

void SetAsteriskMask(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    // The style's own mask character differs between styles; the dialogs show an asterisk.
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
}

void ReadSecret(const QLineEdit* edit, tl::SecretString& secret) {
    // text() shares the edit's own buffer, so no further copy of the characters is made here.
    const QString text = edit->text();
    tl::WipeString(secret.str());
    secret.str().resize(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = ByteOf(text[i]);
        secret.str()[static_cast<std::size_t>(i)] = byte < 0 ? '?' : static_cast<char>(byte);
    }
}

void WipeEdit(QLineEdit* edit) {
    QString text = edit->text();
    // The copy shares the edit's buffer; writing through it overwrites the characters the edit
    // holds instead of detaching (which would leave the original unwiped).
    auto* characters = const_cast<QChar*>(text.constData());
    for (qsizetype i = 0; i < text.size(); ++i)
        characters[i] = QChar(0xCC);
    edit->clear();
}
