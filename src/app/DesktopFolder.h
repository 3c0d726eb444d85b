#pragma once

#include <QString>
#include <functional>

namespace tarquel {

// The folder the file functions offer first: the user's desktop, or the root of the system
// drive when the profile is unknown. On Windows "UserProfile" + "\Desktop\" else "C:\"; elsewhere
// "UserProfile" or, failing that, "HOME" + "/Desktop/" else "/".
QString fDesktopFolder(const std::function<QString(const QString&)>& environment, bool windows);

}  // namespace tarquel
