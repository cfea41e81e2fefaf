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
    "desenha o talão numa imagem com a impressora virtual, sem impressora.\n"
    "Uma porta série aceita definições depois do nome, como no MODE: PORTA:VELOCIDADE[,PARIDADE\n"
    "[,DADOS[,PARAGEM[,FLUXO]]]], por exemplo COM3:19200,n,8,1 ou /dev/ttyUSB0:9600,n,8,1,r;\n"
    "paridade n e o m s, dados 5 a 8, paragem 1 ou 2, fluxo n (nenhum), x (XON/XOFF),\n"
    "r (RTS/CTS), d (DTR/DSR) ou p (RTS/CTS e DTR/DSR); sem elas a porta fica como está.\n"
    "--find-speed procura-as.";

const char* const kListDevicesHelp =
    "mostra os dispositivos deste computador (nome, tabulação, descrição; o CUPS tem até 2 s) e "
    "sai";

const char* const kTimeoutHelp =
    "segundos sem aceitar dados até a impressão falhar (com cups:, também o máximo de cada "
    "pedido ao CUPS)";

const char* const kSignalExitHelp =
    "128+N interrompido pelo sinal N (130 Ctrl+C, 143 SIGTERM, 129 SIGHUP).";

}  // namespace qrticket::cli
