// The life of the program's one database session (store's `Database`).
//
// OpenIndexDatabase creates the session and opens it on the path, making
// the file when it is missing; it logs "CONNECTED:" and the path, or the
// error followed by the fatal notice, and the session exists either way.
// CloseIndexDatabase compacts (errors are not reported), closes and frees
// it. Main thread only, while no other thread uses the session.
#pragma once

#include <string>

namespace velt {

class MessageLog;

void OpenIndexDatabase(const std::string& path, MessageLog& log);
void CloseIndexDatabase();

}  // namespace velt
