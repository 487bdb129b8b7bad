#pragma once

#include <QColor>
#include <QDialog>

#include <array>

class QColorDialog;
class QFrame;
class QLabel;
class QPushButton;
class TSMemo;

// The colour dialog of the receive and send windows. Each group ("接收报文区",
// "发送报文区") owns one colour picker that remembers the colour last chosen
// in it (black before its first use). A colour confirmed in a picker is
// applied to its text area at once; the dialog's OK and Cancel only close it.
// The memos are not owned and must outlive the dialog.
class TF_color final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TF_color)

public:
    // Swatches in the order of the buttons: receive text, receive background,
    // send text, send background.
    enum Swatch { RecvText = 0, RecvBackground, SendText, SendBackground, SwatchCount };

    TF_color(TSMemo* recvMemo, TSMemo* sendMemo, QWidget* parent = nullptr);

    [[nodiscard]] QColor SwatchColor(Swatch swatch) const;
    [[nodiscard]] QPushButton* ChooseButton(Swatch swatch) const;

    QColorDialog* ColorDialog1; // both rows of "接收报文区"
    QColorDialog* ColorDialog2; // both rows of "发送报文区"
    QPushButton* BitBtnOK;
    QPushButton* BitBtnCancel;
    // Shown only while a text area's colours are hard to read (below 3:1).
    QLabel* ContrastLabel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // Runs the picker preset to its last colour; on confirmation remembers the
    // colour, applies it and shows it in the swatch.
    void ChooseColor(QColorDialog* picker, QColor& lastColor, Swatch swatch);
    void ShowSwatch(Swatch swatch, const QColor& color);
    void ApplyColor(Swatch swatch, const QColor& color);
    [[nodiscard]] QColor ColorInForce(Swatch swatch) const;
    void ShowContrastNote();

    TSMemo* recvMemo_;
    TSMemo* sendMemo_;
    QColor lastColor1_ = Qt::black;
    QColor lastColor2_ = Qt::black;
    std::array<QPushButton*, SwatchCount> buttons_{};
    std::array<QFrame*, SwatchCount> swatches_{};
};
