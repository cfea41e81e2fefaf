// The device names of the help text on Linux.
#include "device_help.h"

namespace qrticket::cli {

const char* const kDeviceHelp =
    "Dispositivos: LPT1: a LPT3: (/dev/lp0 a /dev/lp2), COM1: a COM256: (/dev/ttyS0 a\n"
    "/dev/ttyS255), tcp://ENDEREÇO[:PORTA] (impressora de rede, porta 9100 por omissão; um\n"
    "endereço IPv4 escreve-se com quatro números, 192.168.1.50), cups:FILA (uma fila CUPS;\n"
    "cups: é a predefinida; entregue é o que o CUPS indica, e tcp:// confirma mais: que a\n"
    "impressora recebeu cada byte), qualquer caminho (/dev/usb/lp0, /dev/ttyUSB0, um\n"
    "ficheiro) ou - (saída padrão). --list-devices mostra os deste computador. VISUALIZAR:\n"
    "desenha o talão numa imagem com a impressora virtual, sem impressora.";

}  // namespace qrticket::cli
