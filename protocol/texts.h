// The configuration protocol's texts for users: how saving settings into a printer ends,
// as the window and the CLI report it. These texts are English in both languages.
// Constant data; thread-safe.
#pragma once

constexpr const char* MSG_SAVE_COMPLETED = "Save Completed !!!";
constexpr const char* MSG_SAVE_ERROR = "Save Error !!!";
constexpr const char* MSG_WRONG_LOCAL_IP = "Wrong Local IP address.";
constexpr const char* MSG_CANNOT_FIND_MAC = "Cannot find MAC address.";
constexpr const char* MSG_NO_RESPONSE = "No response from selected Ethernet Card.";
constexpr const char* MSG_PASSWORD_MISMATCH = "Password mismatch error occured.";
constexpr const char* MSG_ERROR_VALUE = "value=";  // followed by the error code
constexpr const char* MSG_UNKNOWN_ERROR = "Unknown Error...";
