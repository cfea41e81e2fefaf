// System error numbers in Portuguese words, for the errors a device, a file or a network
// printer can meet. This platform's own numbers come from posix/ or win/errno_words.cpp.
#include "devices/errno_words.h"

#include <cerrno>
#include <string>

namespace qrticket::failures {
namespace {

// The system's own error texts are English (strerror follows the C locale, and Portuguese
// catalogues are rarely installed); these are ours. A table, not a switch: some names share a
// value (EAGAIN and EWOULDBLOCK, ENOTSUP and EOPNOTSUPP).
constexpr ErrnoWords kSystemErrorTexts[] = {
    {EPERM, "operação não permitida"},
    {ENOENT, "não existe"},
    {EINTR, "chamada interrompida"},
    {EIO, "erro de entrada/saída"},
    {ENXIO, "dispositivo ou endereço inexistente"},
    {EBADF, "descritor de ficheiro inválido"},
    {EAGAIN, "recurso temporariamente indisponível"},
    {ENOMEM, "memória insuficiente"},
    {EACCES, "permissão negada"},
    {EFAULT, "endereço de memória inválido"},
    {EBUSY, "dispositivo ou recurso ocupado"},
    {EEXIST, "o ficheiro já existe"},
    {ENODEV, "dispositivo inexistente"},
    {ENOTDIR, "uma parte do caminho não é uma pasta"},
    {EISDIR, "é uma pasta"},
    {EINVAL, "argumento inválido"},
    {ENFILE, "demasiados ficheiros abertos no sistema"},
    {EMFILE, "demasiados ficheiros abertos"},
    {ENOTTY, "operação imprópria para o dispositivo"},
    {ETXTBSY, "ficheiro em uso"},
    {EFBIG, "ficheiro demasiado grande"},
    {ENOSPC, "sem espaço no dispositivo"},
    {ESPIPE, "posicionamento impossível"},
    {EROFS, "sistema de ficheiros só de leitura"},
    {EPIPE, "o leitor fechou o canal"},
    {ERANGE, "resultado fora do intervalo"},
    {EDEADLK, "bloqueio mútuo evitado"},
    {ENAMETOOLONG, "nome demasiado comprido"},
    {ENOLCK, "sem bloqueios disponíveis"},
    {ENOSYS, "função não implementada"},
    {ELOOP, "demasiados níveis de ligações simbólicas"},
    {ETIME, "tempo esgotado"},
    {ENOLINK, "a ligação foi cortada"},
    {EPROTO, "erro de protocolo"},
    {EOVERFLOW, "valor demasiado grande para o tipo de dados"},
    {ENOTSOCK, "não é uma ligação de rede"},
    {EDESTADDRREQ, "falta o endereço de destino"},
    {EMSGSIZE, "mensagem demasiado comprida"},
    {EPROTOTYPE, "tipo de protocolo errado"},
    {ENOPROTOOPT, "protocolo indisponível"},
    {EPROTONOSUPPORT, "protocolo não suportado"},
    {EOPNOTSUPP, "operação não suportada"},
    {EAFNOSUPPORT, "família de endereços não suportada"},
    {EADDRINUSE, "endereço já em uso"},
    {EADDRNOTAVAIL, "endereço indisponível"},
    {ENETDOWN, "a rede está em baixo"},
    {ENETUNREACH, "rede inacessível"},
    {ENETRESET, "a rede cortou a ligação"},
    {ECONNABORTED, "ligação abortada"},
    {ECONNRESET, "ligação reposta pelo outro lado"},
    {ENOBUFS, "sem memória intermédia disponível"},
    {EISCONN, "já está ligado"},
    {ENOTCONN, "não está ligado"},
    {ETIMEDOUT, "tempo de ligação esgotado"},
    {ECONNREFUSED, "ligação recusada"},
    {EHOSTUNREACH, "sem caminho para a máquina"},
    {EALREADY, "operação já em curso"},
    {EINPROGRESS, "operação em curso"},
    {ECANCELED, "operação cancelada"},
};

}  // namespace

std::string SystemErrorText(int error) {
  for (const auto& [number, text] : kSystemErrorTexts)
    if (number == error) return text;
  for (const auto& [number, text] : PlatformErrnoWords())
    if (number == error) return text;
  return "erro " + std::to_string(error);
}

}  // namespace qrticket::failures
