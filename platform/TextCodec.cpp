#include "platform/TextCodec.h"

#include <QStringDecoder>

bool IsValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

QString DecodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    QStringDecoder gbk("GBK");
    if (gbk.isValid()) {
        return gbk.decode(bytes);
    }
    // Without a GBK converter the UTF-8 text with replacement characters is
    // the best that can be shown.
    return text;
}

QByteArray EncodeText(const QString& text)
{
    return text.toUtf8();
}
