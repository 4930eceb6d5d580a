#include "net/tls.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>

#include "message/callbacks.h"
#include "net/tcp.h"
#include "net/tcp_state.h"
#include "platform/storage.h"

namespace {

// Ciphertext moves between the socket and OpenSSL through memory, so that it
// goes over the transport's own reads and writes: their time-outs, on_wait,
// and sends that never raise SIGPIPE.
constexpr std::size_t kPiece = 16384;

struct context_free {
  void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};

struct trust {
  std::string file;  // the extra file asked for
  std::unique_ptr<SSL_CTX, context_free> context;
  std::string context_file;  // the file the context was made with
};

trust& trust_state() {
  static trust state;
  return state;
}

// The client context for the trust asked for; null after a report.
SSL_CTX* client_context() {
  trust& state = trust_state();
  if (state.context && state.context_file == state.file) return state.context.get();
  std::unique_ptr<SSL_CTX, context_free> context(SSL_CTX_new(TLS_client_method()));
  if (!context) {
    mail_log(LOG_ERROR, "TLS is not available");
    return nullptr;
  }
  SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION);
  SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_default_verify_paths(context.get());
  if (!state.file.empty() &&
      SSL_CTX_load_verify_locations(context.get(), state.file.c_str(), nullptr) != 1) {
    ERR_clear_error();
    mail_log(LOG_ERROR, "Cannot read the certificates of %.80s", state.file.c_str());
    return nullptr;
  }
  state.context = std::move(context);
  state.context_file = state.file;
  return state.context.get();
}

// The certificate's fault in words.
std::string refusal_cause(long result) {
  switch (result) {
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return "unknown issuer";
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return "expired";
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return "not yet valid";
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return "wrong host name";
    case X509_V_ERR_CERT_REVOKED:
      return "revoked";
    default:
      return X509_verify_cert_error_string(result);
  }
}

BIO* from_socket(SSL* ssl) {
  return SSL_get_rbio(ssl);
}
BIO* to_socket(SSL* ssl) {
  return SSL_get_wbio(ssl);
}

// Sends what OpenSSL has written; false when the connection is gone.
bool flush(tcp_stream& stream) {
  std::array<char, kPiece> piece;
  BIO* out = to_socket(stream.tls->ssl);
  while (BIO_ctrl_pending(out) > 0) {
    int taken = BIO_read(out, piece.data(), static_cast<int>(piece.size()));
    if (taken <= 0) break;
    if (!tcp_socket_send(stream, {piece.data(), static_cast<std::size_t>(taken)})) return false;
  }
  return true;
}

// Hands OpenSSL what the socket brings; false when the connection is gone.
bool pull(tcp_stream& stream) {
  std::array<char, kPiece> piece;
  std::size_t received = tcp_socket_receive(stream, piece.data(), piece.size());
  if (received == 0) return false;
  BIO_write(from_socket(stream.tls->ssl), piece.data(), static_cast<int>(received));
  return true;
}

// The host name or address the certificate must name.
std::string certified_name(std::string_view host) {
  std::string name(host.substr(0, host.find(':')));
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
    name = name.substr(1, name.size() - 2);
  }
  return text_lower(name);
}

bool is_address(const std::string& name) {
  in_addr address{};
  return ::inet_pton(AF_INET, name.c_str(), &address) == 1;
}

// The first error OpenSSL queued, in its words.
std::string openssl_error() {
  unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return "connection closed";
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

// Stops the handshake after the report.
bool handshake_failed(tcp_stream& stream, const std::string& name) {
  SSL* ssl = stream.tls->ssl;
  long result = SSL_get_verify_result(ssl);
  if (result != X509_V_OK) {
    ERR_clear_error();
    mail_log(LOG_ERROR, "Certificate of %.80s refused: %s", name.c_str(),
             refusal_cause(result).c_str());
  } else {
    mail_log(LOG_ERROR, "TLS with %.80s failed: %s", name.c_str(), openssl_error().c_str());
  }
  tcp_abort(stream);
  return false;
}

}  // namespace

tls_session::~tls_session() {
  SSL_free(ssl);
}

void tls_trust_file(std::string path) {
  trust_state().file = std::move(path);
}

bool tls_start(tcp_stream& stream, std::string_view host) {
  if (stream.socket < 0) return false;
  std::string name = certified_name(host);
  if (stream.count > 0) {
    // Bytes that came before the handshake are no server's under TLS.
    mail_log(LOG_ERROR, "Plain text before TLS from %.80s refused", name.c_str());
    tcp_abort(stream);
    return false;
  }
  SSL_CTX* context = client_context();
  SSL* ssl = context ? SSL_new(context) : nullptr;
  if (!ssl) {
    tcp_abort(stream);
    return false;
  }
  stream.tls = std::make_unique<tls_session>(ssl);
  SSL_set_bio(ssl, BIO_new(BIO_s_mem()), BIO_new(BIO_s_mem()));
  if (is_address(name)) {
    X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), name.c_str());
  } else {
    SSL_set_tlsext_host_name(ssl, name.c_str());
    SSL_set1_host(ssl, name.c_str());
  }
  for (;;) {
    ERR_clear_error();
    int done = SSL_connect(ssl);
    int error = done == 1 ? SSL_ERROR_NONE : SSL_get_error(ssl, done);
    if (!flush(stream)) break;
    if (done == 1) return true;
    if (error != SSL_ERROR_WANT_READ) return handshake_failed(stream, name);
    if (!pull(stream)) break;
  }
  // The connection went, or the wait ended (time-outs report themselves).
  mail_log(LOG_ERROR, "TLS with %.80s failed: connection closed during the handshake",
           name.c_str());
  tcp_abort(stream);
  return false;
}

std::size_t tls_receive(tcp_stream& stream, char* into, std::size_t size) {
  while (stream.tls) {
    ERR_clear_error();
    int got =
        SSL_read(stream.tls->ssl, into, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
    if (got > 0) return static_cast<std::size_t>(got);
    int error = SSL_get_error(stream.tls->ssl, got);
    if (error == SSL_ERROR_WANT_READ) {
      // A key update or a ticket may want an answer first.
      if (flush(stream) && pull(stream)) continue;
      return 0;
    }
    if (error == SSL_ERROR_SSL) {
      mail_log(LOG_ERROR, "TLS with %.80s failed: %s", stream.remote_host.c_str(),
               openssl_error().c_str());
    }
    tcp_abort(stream);
  }
  return 0;
}

bool tls_send(tcp_stream& stream, std::string_view bytes) {
  while (!bytes.empty()) {
    if (!stream.tls) return false;
    std::size_t size = std::min(bytes.size(), kPiece);
    ERR_clear_error();
    if (SSL_write(stream.tls->ssl, bytes.data(), static_cast<int>(size)) <= 0) {
      mail_log(LOG_ERROR, "TLS with %.80s failed: %s", stream.remote_host.c_str(),
               openssl_error().c_str());
      tcp_abort(stream);
      return false;
    }
    if (!flush(stream)) return false;
    bytes.remove_prefix(size);
  }
  return true;
}

void tls_say_goodbye(tcp_stream& stream) {
  if (!stream.tls || stream.socket < 0) return;
  if (SSL_shutdown(stream.tls->ssl) >= 0) {
    BIO* out = to_socket(stream.tls->ssl);
    std::array<char, kPiece> piece;
    int taken = BIO_read(out, piece.data(), static_cast<int>(piece.size()));
    if (taken > 0) {
      ::send(stream.socket, piece.data(), static_cast<std::size_t>(taken),
             MSG_NOSIGNAL | MSG_DONTWAIT);
    }
  }
  ERR_clear_error();
}
