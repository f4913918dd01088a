#pragma once

// The application's assertion handler: shows the report in a message box
// without owner, or writes it to standard error when no QApplication exists.
void showAssertionReport(const char* report);
