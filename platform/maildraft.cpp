#include "platform/maildraft.h"

#include <QUrlQuery>

namespace platform {

QUrl MailDraft(const QString& address, const QString& subject, const QString& body)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QString::fromLatin1(QUrl::toPercentEncoding(subject)));
    query.addQueryItem(QStringLiteral("body"), QString::fromLatin1(QUrl::toPercentEncoding(body)));
    QUrl mail(QStringLiteral("mailto:"));
    mail.setPath(address);
    mail.setQuery(query);
    return mail;
}

} // namespace platform
