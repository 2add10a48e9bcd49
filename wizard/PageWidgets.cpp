#include "wizard/PageWidgets.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>

namespace {

// A label that clicks its radio button, so the whole text is a target as on a real radio button.
class RadioLabel : public QLabel {
public:
    RadioLabel(const QString& text, QRadioButton* radio, QWidget* parent)
        : QLabel(text, parent), radio_(radio) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            radio_->isEnabled())
            radio_->click();
        QLabel::mouseReleaseEvent(event);
    }

private:
    QRadioButton* radio_;
};

} // namespace

QRadioButton* AddWrappedRadio(QBoxLayout* layout, QWidget* parent, const QString& objectName,
                              const QString& text) {
    auto* radio = new QRadioButton(parent);
    radio->setObjectName(objectName);
    radio->setAccessibleName(text);
    auto* label = new RadioLabel(text, radio, parent);
    label->setObjectName(objectName + "Label");
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(radio, 0, Qt::AlignTop);
    row->addWidget(label, 1);
    layout->addLayout(row);
    return radio;
}

QLabel* MakeText(QWidget* parent, const QString& objectName, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void SetPasswordChar(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    // The style's own mask character differs between styles; the pages show an asterisk.
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
}

void SetInteriorMargins(QBoxLayout* layout) {
    layout->setContentsMargins(44, 14, 36, 8);
}

void SetExteriorMargins(QBoxLayout* layout) {
    layout->setContentsMargins(20, 20, 20, 8);
}
