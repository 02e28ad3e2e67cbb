#pragma once
// Error classes of the form stream layer. Each carries the exact message text.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Exception.h"

namespace vc {

class EStreamError : public Exception { using Exception::Exception; };
class EFilerError : public EStreamError { using EStreamError::EStreamError; };
class EReadError : public EFilerError {
 public:
  using EFilerError::EFilerError;
  EReadError(const std::string& message, std::int64_t offset) : EFilerError(message), m_offset(offset) {}
  // The stream position where reading stopped, where the reader knew it.
  std::optional<std::int64_t> offset() const { return m_offset; }

 private:
  std::optional<std::int64_t> m_offset;
};
class EWriteError : public EFilerError { using EFilerError::EFilerError; };
class EInvalidImage : public EFilerError { using EFilerError::EFilerError; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
class EParserError : public Exception { using Exception::Exception; };
class EConvertError : public Exception { using Exception::Exception; };

// Message texts shared by several places.
namespace msg {
inline constexpr const char* kInvalidStreamFormat = "無效的資料流格式";
inline constexpr const char* kReadError = "資料串流讀取錯誤";
inline constexpr const char* kWriteError = "資料串流寫入錯誤";
inline constexpr const char* kInvalidPropertyValue = "無效的屬性值";
inline constexpr const char* kReadOnlyResourceStream = "無法寫入一個唯讀的資源流";
inline constexpr const char* kIdentifierExpected = "希望一個標識符";
inline constexpr const char* kStringExpected = "希望一個字符串";
}  // namespace msg

}  // namespace vc
