// The home-page link: an internet-location file in the Preferences folder that the Finder
// hands to the user's web browser.
#pragma once

// Makes the link file if it does not exist, then asks the Finder to open it.
void OpenHomepage();
