// The product's own addresses on the web: where new versions are downloaded, where the manual and the support
// page are, and where support mail goes. The start-up messages, the about box, the Help menu and the weather theme files read them here.
#pragma once

namespace ProductAddresses {

constexpr char kWebSite[] = "https://aerovane.example.org/";
// Below the web site.
constexpr char kSupportPage[] = "https://aerovane.example.org/index.php/support";
constexpr char kDownloadPage[] = "https://aerovane.example.org/download";
constexpr char kManualPage[] = "https://aerovane.example.org/wiki";
// The manual's page on the flight recorder options, linked from the empty recorded-flights list.
constexpr char kFlightRecorderPage[] = "https://aerovane.example.org/wiki/flight-recorder";
constexpr char kSupportMail[] = "support@aerovane.example.org";

} // namespace ProductAddresses
