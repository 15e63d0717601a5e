#pragma once

// A "mailto:" address that has the user's mail program prepare a message. Subject and body go in
// percent-encoded, so '&', '#', '%' or line ends in them stay text and never cut the message short.
//     mailto:a@b.c?subject=Flight%20report%20from%20N123A&body=Dep%3AEDDF%0A...

#include <QString>
#include <QUrl>

namespace platform {

QUrl MailDraft(const QString& address, const QString& subject, const QString& body);

} // namespace platform
