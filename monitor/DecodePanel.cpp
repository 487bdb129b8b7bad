#include "monitor/DecodePanel.h"

#include "monitor/PlainTranslator.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <memory>

namespace monitor {

namespace {

const QColor kBadColor(Qt::red);

bool SameOptions(const decode::Options& a, const decode::Options& b)
{
    return a.protocol == b.protocol && a.iec101.linkAddress == b.iec101.linkAddress
        && a.iec101.cause == b.iec101.cause && a.iec101.commonAddress == b.iec101.commonAddress
        && a.iec101.objectAddress == b.iec101.objectAddress && a.direction == b.direction && a.device == b.device
        && a.earlier == b.earlier && a.lastSent == b.lastSent;
}

// A size chooser: the sizes offered, the one chosen at start.
QComboBox* SizeBox(QWidget* parent, const QString& name, std::initializer_list<int> sizes, int chosen)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const int size : sizes)
        box->addItem(QString::number(size), size);
    box->setCurrentIndex(box->findData(chosen));
    return box;
}

} // namespace

DecodePanel::DecodePanel(QWidget* parent)
    : QWidget(parent)
    , ProtocolBox(new QComboBox(this))
    , Tree(new QPlainTextEdit(this))
    , CopyText(new QAction(QCoreApplication::translate("monitor::DecodePanel", "复制全部文本"), this))
{
    const decode::IecSizes sizes;
    LinkAddressBox = SizeBox(this, QStringLiteral("LinkAddressBox"), {0, 1, 2}, sizes.linkAddress);
    CauseBox = SizeBox(this, QStringLiteral("CauseBox"), {1, 2}, sizes.cause);
    CommonAddressBox = SizeBox(this, QStringLiteral("CommonAddressBox"), {1, 2}, sizes.commonAddress);
    ObjectAddressBox = SizeBox(this, QStringLiteral("ObjectAddressBox"), {1, 2, 3}, sizes.objectAddress);

    ProtocolBox->setObjectName(QStringLiteral("ProtocolBox"));
    // The names are whole literals of the protocol table.
    for (const decode::ProtocolEntry& row : decode::Protocols())
        ProtocolBox->addItem(QString::fromUtf8(PlainTranslation("decode", row.name.data())),
                             static_cast<int>(row.protocol));

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    const auto row = [this, grid](int r, int c, const QString& caption, QComboBox* box, int span = 1) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        box->setAccessibleName(caption);
        grid->addWidget(label, r, c);
        grid->addWidget(box, r, c + 1, 1, span);
    };
    row(0, 0, QCoreApplication::translate("monitor::DecodePanel", "规约"), ProtocolBox, 3);
    row(1, 0, QCoreApplication::translate("monitor::DecodePanel", "链路地址字节"), LinkAddressBox);
    row(1, 2, QCoreApplication::translate("monitor::DecodePanel", "传送原因字节"), CauseBox);
    row(2, 0, QCoreApplication::translate("monitor::DecodePanel", "公共地址字节"), CommonAddressBox);
    row(2, 2, QCoreApplication::translate("monitor::DecodePanel", "信息体地址字节"), ObjectAddressBox);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    Tree->setObjectName(QStringLiteral("Tree"));
    Tree->setAccessibleName(QCoreApplication::translate("monitor::DecodePanel", "报文解析"));
    Tree->setReadOnly(true);
    Tree->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Tree->setLineWrapMode(QPlainTextEdit::NoWrap);
    Tree->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Tree->setContextMenuPolicy(Qt::CustomContextMenu);
    Tree->installEventFilter(this);
    connect(Tree, &QWidget::customContextMenuRequested, this, &DecodePanel::ShowContextMenu);

    CopyText->setObjectName(QStringLiteral("CopyText"));
    connect(CopyText, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(Tree->toPlainText()); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addLayout(grid);
    layout->addWidget(Tree, 1);

    for (QComboBox* box : {ProtocolBox, LinkAddressBox, CauseBox, CommonAddressBox, ObjectAddressBox})
        connect(box, &QComboBox::currentIndexChanged, this, &DecodePanel::DecodeSoon);

    // Which window had the focus last is followed also while hidden, so
    // that the panel shows that window's line when it opens.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });

    soon_.setSingleShot(true);
    soon_.setInterval(0);
    connect(&soon_, &QTimer::timeout, this, &DecodePanel::DecodeNow);
}

DecodePanel::~DecodePanel() = default;

void DecodePanel::FollowSent(ReceiveRoute& route)
{
    const QPointer<DecodePanel> alive(this);
    route.AddSentObserver([alive](const ReceivedFrame& frame) {
        if (alive)
            alive->SetLastSent(frame.bytes);
    });
}

void DecodePanel::SetSources(TSMemo* receive, RuleOf receiveRule, TSMemo* send, RuleOf sendRule)
{
    Follow(false);
    receive_ = receive;
    send_ = send;
    receiveRule_ = std::move(receiveRule);
    sendRule_ = std::move(sendRule);
    focused_ = receive_;
    Follow(isVisible());
    Refresh();
}

decode::Options DecodePanel::Options() const
{
    decode::Options options;
    options.protocol = static_cast<decode::Protocol>(ProtocolBox->currentData().toInt());
    options.iec101.linkAddress = LinkAddressBox->currentData().toInt();
    options.iec101.cause = CauseBox->currentData().toInt();
    options.iec101.commonAddress = CommonAddressBox->currentData().toInt();
    options.iec101.objectAddress = ObjectAddressBox->currentData().toInt();
    options.translate = &PlainTranslation;
    return options;
}

decode::Options DecodePanel::LineOptions() const
{
    decode::Options options = Options();
    if (focused_ == nullptr)
        return options;
    const bool received = focused_ == receive_;
    options.direction = received ? decode::Direction::FromDevice : decode::Direction::ToDevice;
    options.device = device_;
    if (received)
        options.lastSent = lastSent_;
    const TSMemo* memo = focused_.data();
    options.earlier = EarlierFrames([memo](int k) { return memo->Line(k); }, memo->CaretLine(),
                                    received ? receiveRule_() : sendRule_());
    return options;
}

void DecodePanel::SetDevice(decode::DeviceRole device)
{
    device_ = device;
    Refresh();
}

void DecodePanel::SetDecoder(Decoder decoder)
{
    decoder_ = decoder;
    Refresh();
}

void DecodePanel::Refresh()
{
    shown_ = false;
    DecodeSoon();
}

void DecodePanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Follow(true);
    DecodeSoon();
}

void DecodePanel::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    Follow(false);
}

// Connected to the windows' caret and text only while shown: hidden, nothing
// the receive path does to the receive window reaches the panel.
void DecodePanel::Follow(bool on)
{
    if (on == following_ || receive_ == nullptr)
        return;
    following_ = on;
    for (TSMemo* memo : {receive_.data(), send_.data()}) {
        if (memo == nullptr)
            continue;
        if (on) {
            connect(memo, &QPlainTextEdit::cursorPositionChanged, this, &DecodePanel::DecodeSoon);
            connect(memo, &QPlainTextEdit::textChanged, this, &DecodePanel::DecodeSoon);
        } else {
            disconnect(memo, nullptr, this, nullptr);
        }
    }
    if (!on)
        soon_.stop();
}

bool DecodePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Tree && event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Delete))
        event->accept();
    return QWidget::eventFilter(watched, event);
}

void DecodePanel::FocusChanged(QWidget* now)
{
    if (now == nullptr || (now != receive_ && now != send_))
        return;
    if (!held_.empty()) {
        held_.clear();
        shown_ = false;
    } else if (now == focused_) {
        return;
    }
    focused_ = static_cast<TSMemo*>(now);
    DecodeSoon();
}

void DecodePanel::ShowFrame(std::vector<std::uint8_t> frame, decode::Direction direction,
                            std::vector<std::uint8_t> request)
{
    held_ = std::move(frame);
    heldDirection_ = direction;
    heldRequest_ = std::move(request);
    shown_ = false;
    soon_.stop();
    if (held_.empty())
        return DecodeSoon();
    ShowHeldFrame();
}

// Decoded again only when the chooser's options change: the windows' lines
// arriving leave it as it is.
void DecodePanel::ShowHeldFrame()
{
    decode::Options options = Options();
    options.direction = heldDirection_;
    options.device = device_;
    options.lastSent = heldRequest_;
    if (shown_ && SameOptions(options, shownOptions_))
        return;
    shown_ = true;
    shownOptions_ = options;
    shownLine_.clear();
    ++decodeCount_;
    Show(DecodeFrameView(held_, options, decoder_));
}

void DecodePanel::DecodeSoon()
{
    if (isVisible() && (focused_ != nullptr || !held_.empty()) && !soon_.isActive())
        soon_.start();
}

void DecodePanel::DecodeNow()
{
    if (!isVisible())
        return;
    if (!held_.empty())
        return ShowHeldFrame();
    if (focused_ == nullptr)
        return;
    const QString line = focused_->Line(focused_->CaretLine());
    const FrameLineRule rule = focused_ == receive_ ? receiveRule_() : sendRule_();
    const decode::Options options = LineOptions();
    if (shown_ && line == shownLine_ && rule == shownRule_ && SameOptions(options, shownOptions_))
        return;
    shown_ = true;
    shownLine_ = line;
    shownRule_ = rule;
    shownOptions_ = options;
    ++decodeCount_;

    Show(DecodeLineView(line, rule, options, decoder_));
}

void DecodePanel::Show(const DecodeView& view)
{
    Tree->setPlainText(view.lines.join(QLatin1Char('\n')));
    QTextCharFormat bad;
    bad.setForeground(kBadColor);
    for (const int index : view.badLines) {
        QTextCursor cursor(Tree->document()->findBlockByNumber(index));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(bad);
    }
}

void DecodePanel::ShowContextMenu(const QPoint& position)
{
    const std::unique_ptr<QMenu> menu(Tree->createStandardContextMenu(position));
    menu->addSeparator();
    menu->addAction(CopyText);
    menu->exec(Tree->viewport()->mapToGlobal(position));
}

} // namespace monitor
