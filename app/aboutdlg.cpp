#include "app/aboutdlg.h"

#include "settings/productaddresses.h"
#include "settings/settings.h"

namespace {

// One paragraph with one underlined blue link whose visible text is the address itself.
QString LinkText(const QString& target, const QString& shown)
{
    return QStringLiteral(
               "<p><a href=\"%1\"><span style=\"text-decoration: underline; color:#0000ff;\">%2</span></a></p>")
        .arg(target.toHtmlEscaped(), shown.toHtmlEscaped());
}

} // namespace

AboutDlg::AboutDlg(QWidget*)
{
    // The logo and icon live in a static library; make sure they are registered.
    Q_INIT_RESOURCE(images);
    ui.setupUi(this);
    const QString mail = QLatin1String(ProductAddresses::kSupportMail);
    ui.label_homepage->setText(LinkText(ProductAddresses::kWebSite, ProductAddresses::kWebSite));
    ui.label_supportForum->setText(LinkText(ProductAddresses::kSupportPage, ProductAddresses::kSupportPage));
    ui.label_email->setText(LinkText(QStringLiteral("mailto:") + mail, mail));
    ui.label_clientVersion->setText(QStringLiteral("v") + CSettings::GetClientVersion());
    ui.label_WeatherServerVersion->setText(QStringLiteral("v") + CSettings::GetWeatherServerVersion());
}

AboutDlg::~AboutDlg() = default;
