#pragma once
// The fixed texts of the two pipes. They are written character for character as they stand here (note the
// missing blank after the colon in CHANGEPASSWORD), never produced by a JSON writer.

namespace Corvani::Nuv::IPC {

inline constexpr wchar_t kShowCommandText[] = L"{\"Command\": \"SHOW\",\"Payload\": []}";
inline constexpr wchar_t kChangePasswordCommandText[] = L"{\"Command\":\"CHANGEPASSWORD\",\"Payload\": []}";
inline constexpr wchar_t kHideCommandText[] = L"{\"Command\": \"HIDE\",\"Payload\": []}";
inline constexpr wchar_t kCloseCommandText[] = L"{\"Command\": \"CLOSE\",\"Payload\": []}";
inline constexpr wchar_t kSelfCloseCommandText[] = L"{\"Command\": \"SELF_CLOSE\",\"Payload\": []}";

// The provider server's answer to every command it has handled.
inline constexpr wchar_t kServerResponseText[] = L"{\"response\": \"0\"}";

// Command names that the provider server turns into events.
inline constexpr char kLogonCommandName[] = "LOGON";
inline constexpr char kDeselectCommandName[] = "DESELECT";
inline constexpr char kUIInputCommandName[] = "UIINPUT";

// Largest message the provider server accepts, terminating NUL included.
inline constexpr unsigned kMaxCommandBytes = 2048;

} // namespace Corvani::Nuv::IPC
