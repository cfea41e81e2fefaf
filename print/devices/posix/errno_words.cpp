// The error numbers of Linux's C library that Windows' has not (see errno_words.h).
#include "devices/errno_words.h"

#include <cerrno>

namespace qrticket::failures {
namespace {

constexpr ErrnoWords kLinuxErrnoWords[] = {
    {ECOMM, "erro de comunicação ao enviar"},
    {EBADFD, "descritor de ficheiro em mau estado"},
    {ESHUTDOWN, "a ligação já foi fechada para envio"},
    {EHOSTDOWN, "a máquina está desligada"},
    {ESTALE, "ficheiro de rede já não existe no servidor"},
    {EDQUOT, "quota de disco excedida"},
    {ENOMEDIUM, "sem suporte no dispositivo"},
    {EMEDIUMTYPE, "tipo de suporte errado"},
    {EREMOTEIO, "erro de entrada/saída remoto"},
};

}  // namespace

std::span<const ErrnoWords> PlatformErrnoWords() { return kLinuxErrnoWords; }

bool IsQuotaExceeded(int error) { return error == EDQUOT; }

}  // namespace qrticket::failures
