<?php
/*
 * Plumoxa server script: serves one folder of a web host to the Plumoxa clients (the desktop
 * application and plumoxa-cli). Upload this one file to the host, set the four constants below,
 * and give the clients the file's URL, for example https://example.com/files/plumoxa.php.
 *
 * Needs PHP 8.1 or later. Use HTTPS: every request carries the password.
 */

// ---- Configuration ---------------------------------------------------------------------------

// The folder that clients see as "/". Keep it outside the web server's document root, so that
// its files are reached only through this script.
const PLUMOXA_ROOT = '/home/example/plumoxa-files';

// The one user name the script accepts.
const PLUMOXA_USER = 'example';

// The password's hash, made with password_hash(); on a machine with PHP:
//   php -r 'echo password_hash($argv[1], PASSWORD_DEFAULT), "\n";' -- 'your password'
// Paste it between the single quotes. While it is empty, nobody can log in.
const PLUMOXA_PASSWORD_HASH = '';

// The directory a client starts in ("~" in requests), inside the root.
const PLUMOXA_START_DIR = '/';

// ---- End of configuration --------------------------------------------------------------------

ini_set('display_errors', '0');

const PLUMOXA_RETR_PIECE_BYTES = 3 * 16384;
// Half of the mean Gregorian year: the span a long listing shows a time of day for.
const PLUMOXA_SIX_MONTHS = 15778476;

/** The protocol's tagged reply text. */
final class PlumoxaReply
{
    private string $text = '';
    private string $command;

    public function __construct(string $command)
    {
        // The word is echoed only when it looks like a command word, so no request text can
        // reach the reply through it.
        $this->command = preg_match('/^[A-Z]{1,16}$/', $command) === 1 ? $command : '';
    }

    public function text(): string
    {
        return $this->text;
    }

    public function loginFailed(): void
    {
        $this->addItem('login_result', 'FALSE');
        $this->addItem('command', $this->command);
        $this->addItem('command_result', 'FALSE');
    }

    public function commandFailed(): void
    {
        $this->addItem('login_result', 'TRUE');
        $this->addItem('command', $this->command);
        $this->addItem('command_result', 'FALSE');
    }

    public function commandSucceeded(string $currentDir, int $resultCount): void
    {
        $this->addItem('login_result', 'TRUE');
        $this->addItem('command', $this->command);
        $this->addItem('command_result', 'TRUE');
        $this->addItem('current_dir', $currentDir);
        $this->addItem('result_count', (string) $resultCount);
    }

    /** @param string[] $lines */
    public function addListBlock(string $path, array $lines): void
    {
        $this->text .= '<list path="' . $path . "\">\n";
        foreach ($lines as $line) {
            $this->addItem('path', $line);
        }
        $this->text .= "</list>\n";
    }

    public function openRetrBlock(): void
    {
        $this->text .= '<retr>';
    }

    public static function retrClosing(): string
    {
        return "\n</retr>\n";
    }

    private function addItem(string $tag, string $value): void
    {
        $this->text .= '<' . $tag . '>' . $value . '</' . $tag . ">\n";
    }
}

/**
 * Request paths inside the root. Every path is resolved with realpath(), so a symbolic link is
 * followed only when it ends inside the root; the operations then work on the resolved path.
 */
final class PlumoxaJail
{
    private ?string $realRoot;

    public function __construct(string $root)
    {
        $real = realpath($root);
        $this->realRoot = $real !== false && is_dir($real) ? $real : null;
    }

    public function isUsable(): bool
    {
        return $this->realRoot !== null;
    }

    /** The absolute path that a request's "dir" names, or null when it is not one. */
    public static function normalize(string $dir, string $startDir): ?string
    {
        if (strpos($dir, "\0") !== false) {
            return null;
        }
        if ($dir === '~' || strncmp($dir, '~/', 2) === 0) {
            $result = $startDir === '/' ? '' : $startDir;
            $rest = substr($dir, 1);
        } elseif (strncmp($dir, '/', 1) === 0) {
            $result = '';
            $rest = $dir;
        } else {
            return null;
        }
        foreach (explode('/', $rest) as $part) {
            if ($part === '' || $part === '.') {
                continue;
            }
            if ($part === '..') {
                return null;
            }
            $result .= '/' . $part;
        }
        return $result === '' ? '/' : $result;
    }

    public static function isPlainName(string $name): bool
    {
        return $name !== '' && $name !== '.' && $name !== '..' && strpos($name, '/') === false
            && strpos($name, "\0") === false;
    }

    public static function join(string $dir, string $name): string
    {
        return (substr($dir, -1) === '/' ? $dir : $dir . '/') . $name;
    }

    /** The real path of a directory inside the root, or null. */
    public function directory(string $path): ?string
    {
        $real = $this->realPath($path);
        return $real !== null && is_dir($real) ? $real : null;
    }

    /**
     * The real path and lstat() of an existing entry below the root, or null. A link is followed
     * to its end, which must lie inside the root.
     *
     * @return array{path: string, stat: array}|null
     */
    public function resolve(string $path): ?array
    {
        $real = $this->realPath($path);
        if ($real === null || $real === $this->realRoot) {
            return null;
        }
        $status = @lstat($real);
        if ($status === false || self::isLink($status['mode'])) {
            return null;
        }
        return ['path' => $real, 'stat' => $status];
    }

    public static function isDirectory(int $mode): bool
    {
        return ($mode & 0170000) === 0040000;
    }

    public static function isLink(int $mode): bool
    {
        return ($mode & 0170000) === 0120000;
    }

    public static function isRegular(int $mode): bool
    {
        return ($mode & 0170000) === 0100000;
    }

    private function realPath(string $path): ?string
    {
        if ($this->realRoot === null) {
            return null;
        }
        $full = $this->realRoot === '/' ? $path : $this->realRoot . $path;
        $real = realpath($full);
        if ($real === false) {
            return null;
        }
        if ($real === $this->realRoot) {
            return $real;
        }
        $prefix = $this->realRoot === '/' ? '/' : $this->realRoot . '/';
        return strncmp($real, $prefix, strlen($prefix)) === 0 ? $real : null;
    }
}

/** What a reply can carry: UTF-8 text that cannot end a tag early or break a line. */
function plumoxa_can_carry(string $text): bool
{
    if (strpbrk($text, "\r\n") !== false || strpos($text, '">') !== false) {
        return false;
    }
    foreach (['</path>', '</list>', '</current_dir>'] as $closing) {
        if (stripos($text, $closing) !== false) {
            return false;
        }
    }
    return preg_match('//u', $text) === 1;
}

function plumoxa_log(string $text, string $subject): void
{
    error_log('plumoxa.php: ' . $text . ' "' . addcslashes($subject, "\0..\37\"\\\177..\377") . '"');
}

/** The long listing layout of a directory's entries, sorted by name. */
final class PlumoxaLister
{
    private const MONTHS = ['Jan', 'Feb', 'Mar', 'Apr', 'May', 'Jun', 'Jul', 'Aug', 'Sep', 'Oct', 'Nov', 'Dec'];

    /** @var array<int, string> */
    private array $owners = [];
    /** @var array<int, string> */
    private array $groups = [];

    public function __construct(private PlumoxaJail $jail)
    {
    }

    /** @return string[]|null */
    public function listing(string $path): ?array
    {
        $real = $this->jail->directory($path);
        if ($real === null) {
            return null;
        }
        $names = @scandir($real, SCANDIR_SORT_NONE);
        if ($names === false) {
            return null;
        }
        $rows = [];
        foreach ($names as $name) {
            $name = (string) $name;
            if ($name === '.' || $name === '..') {
                continue;
            }
            $entryPath = $real . '/' . $name;
            $status = @lstat($entryPath);
            if ($status === false) {
                continue;
            }
            $type = self::typeCharacter($status['mode']);
            $shown = $name;
            if ($type === 'l') {
                $target = $this->jail->resolve(PlumoxaJail::join($path, $name));
                if ($target !== null && PlumoxaJail::isDirectory($target['stat']['mode'])) {
                    $type = 'D';
                }
                $link = @readlink($entryPath);
                $shown .= ' -> ' . ($link === false ? '' : $link);
            }
            if (!plumoxa_can_carry($shown)) {
                plumoxa_log('left out of the listing of ' . $path . ', a name the reply cannot carry:', $shown);
                continue;
            }
            $rows[] = [
                'name' => $shown,
                'type' => $type,
                'mode' => $status['mode'],
                'links' => (string) $status['nlink'],
                'owner' => $this->owner($status['uid']),
                'group' => $this->group($status['gid']),
                'size' => sprintf('%u', $status['size']),
                'mtime' => $status['mtime'],
            ];
        }
        usort($rows, fn(array $a, array $b): int => strcmp($a['name'], $b['name']));

        $widths = ['links' => 0, 'owner' => 0, 'group' => 0, 'size' => 0];
        foreach ($rows as $row) {
            foreach ($widths as $column => $width) {
                $widths[$column] = max($width, strlen($row[$column]));
            }
        }
        $now = time();
        $lines = [];
        foreach ($rows as $row) {
            $lines[] = $row['type'] . self::permissions($row['mode']) . ' '
                . str_pad($row['links'], $widths['links'], ' ', STR_PAD_LEFT) . ' '
                . str_pad($row['owner'], $widths['owner']) . ' '
                . str_pad($row['group'], $widths['group']) . ' '
                . str_pad($row['size'], $widths['size'], ' ', STR_PAD_LEFT) . ' '
                . self::formatDate($row['mtime'], $now) . ' ' . $row['name'];
        }
        return $lines;
    }

    public static function formatDate(int $modified, int $now): string
    {
        $month = self::MONTHS[(int) date('n', $modified) - 1];
        $day = sprintf('%2d', (int) date('j', $modified));
        $recent = $modified > $now - PLUMOXA_SIX_MONTHS && $modified <= $now;
        return $month . ' ' . $day . ' ' . ($recent ? date('H:i', $modified) : sprintf('%5d', (int) date('Y', $modified)));
    }

    private static function typeCharacter(int $mode): string
    {
        switch ($mode & 0170000) {
            case 0040000:
                return 'd';
            case 0120000:
                return 'l';
            case 0010000:
                return 'p';
            case 0140000:
                return 's';
            case 0020000:
                return 'c';
            case 0060000:
                return 'b';
        }
        return '-';
    }

    private static function permissions(int $mode): string
    {
        $text = '';
        foreach ([0400, 0200, 0100, 040, 020, 010, 04, 02, 01] as $index => $bit) {
            $text .= ($mode & $bit) !== 0 ? 'rwx'[$index % 3] : '-';
        }
        return $text;
    }

    private function owner(int $uid): string
    {
        if (!isset($this->owners[$uid])) {
            $entry = function_exists('posix_getpwuid') ? @posix_getpwuid($uid) : false;
            $this->owners[$uid] = self::usableName(is_array($entry) ? (string) $entry['name'] : '', $uid);
        }
        return $this->owners[$uid];
    }

    private function group(int $gid): string
    {
        if (!isset($this->groups[$gid])) {
            $entry = function_exists('posix_getgrgid') ? @posix_getgrgid($gid) : false;
            $this->groups[$gid] = self::usableName(is_array($entry) ? (string) $entry['name'] : '', $gid);
        }
        return $this->groups[$gid];
    }

    // A name that would not stay one word of the line is shown as the number.
    private static function usableName(string $name, int $id): string
    {
        return $name !== '' && strpbrk($name, " \t") === false && plumoxa_can_carry($name) ? $name : (string) $id;
    }
}

/** Runs the commands of a logged-in request. */
final class PlumoxaCommands
{
    private PlumoxaLister $lister;

    public function __construct(private PlumoxaJail $jail, private ?string $startDir)
    {
        $this->lister = new PlumoxaLister($jail);
    }

    /** The directory a request acts in, or null. */
    public function directory(string $dir): ?string
    {
        if ($this->startDir === null) {
            return null;
        }
        $normalized = PlumoxaJail::normalize($dir, $this->startDir);
        return $normalized !== null && plumoxa_can_carry($normalized) ? $normalized : null;
    }

    public static function isCreatableName(string $name): bool
    {
        return PlumoxaJail::isPlainName($name) && plumoxa_can_carry($name);
    }

    /**
     * @param array<string, string> $fields
     * @return array{succeeded: bool, currentDir: string, lists: array, retr: ?array}
     */
    public function run(array $fields): array
    {
        $outcome = ['succeeded' => false, 'currentDir' => '', 'lists' => [], 'retr' => null];
        $command = $fields['cmd'];
        if ($command === 'CONN') {
            return $this->connect($outcome);
        }
        $dir = $this->directory($fields['dir']);
        if ($dir === null) {
            return $outcome;
        }
        $param0 = $fields['param0'] ?? '';
        $param1 = $fields['param1'] ?? '';
        switch ($command) {
            case 'LIST':
                $done = $this->listInto($dir, $outcome);
                break;
            case 'RETR':
                $done = $this->retrieve($dir, $param0, $outcome);
                break;
            case 'MKD':
                $done = $this->makeDirectory($dir, $param0);
                break;
            case 'RM':
                $done = $this->remove($dir, $param0, false);
                break;
            case 'RMD':
                $done = $this->remove($dir, $param0, true);
                break;
            case 'CHMOD':
                $done = $this->changeMode($dir, $param0, $param1);
                break;
            case 'REN':
                $done = $this->rename($dir, $param0, $param1);
                break;
            default:
                $done = false;
        }
        if ($done) {
            $outcome['succeeded'] = true;
            $outcome['currentDir'] = $dir;
        }
        return $outcome;
    }

    // The client's tree accepts lines only for directories it already knows, so the listings go
    // from the root down to the starting directory.
    private function connect(array $outcome): array
    {
        if ($this->startDir === null || !$this->listInto('/', $outcome)) {
            return $outcome;
        }
        $path = '';
        foreach (explode('/', $this->startDir) as $part) {
            if ($part === '') {
                continue;
            }
            $path .= '/' . $part;
            if (!$this->listInto($path, $outcome)) {
                return $outcome;
            }
        }
        $outcome['succeeded'] = true;
        $outcome['currentDir'] = $this->startDir;
        return $outcome;
    }

    private function listInto(string $dir, array &$outcome): bool
    {
        $lines = $this->lister->listing($dir);
        if ($lines === null) {
            return false;
        }
        $outcome['lists'][] = ['path' => $dir, 'lines' => $lines];
        return true;
    }

    private function retrieve(string $dir, string $name, array &$outcome): bool
    {
        if (!PlumoxaJail::isPlainName($name)) {
            return false;
        }
        $entry = $this->jail->resolve(PlumoxaJail::join($dir, $name));
        if ($entry === null || !PlumoxaJail::isRegular($entry['stat']['mode'])) {
            return false;
        }
        $file = @fopen($entry['path'], 'rb');
        if ($file === false) {
            return false;
        }
        $status = fstat($file);
        if ($status === false || !PlumoxaJail::isRegular($status['mode'])) {
            fclose($file);
            return false;
        }
        $outcome['retr'] = ['file' => $file, 'size' => $status['size']];
        return true;
    }

    private function makeDirectory(string $dir, string $name): bool
    {
        $real = self::isCreatableName($name) ? $this->jail->directory($dir) : null;
        return $real !== null && @mkdir($real . '/' . $name, 0777);
    }

    private function remove(string $dir, string $name, bool $directory): bool
    {
        $real = PlumoxaJail::isPlainName($name) ? $this->jail->directory($dir) : null;
        if ($real === null) {
            return false;
        }
        $path = $real . '/' . $name;
        $status = @lstat($path);
        // RM takes files and links (a link to a directory included), RMD only real, empty directories.
        if ($status === false || PlumoxaJail::isDirectory($status['mode']) !== $directory) {
            return false;
        }
        return $directory ? @rmdir($path) : @unlink($path);
    }

    private function changeMode(string $dir, string $name, string $mode): bool
    {
        if (preg_match('/^[0-7]{3}$/D', $mode) !== 1 || !PlumoxaJail::isPlainName($name)) {
            return false;
        }
        // A link is followed to its target, but only inside the root.
        $entry = $this->jail->resolve(PlumoxaJail::join($dir, $name));
        return $entry !== null && @chmod($entry['path'], octdec($mode));
    }

    private function rename(string $dir, string $from, string $to): bool
    {
        if (!PlumoxaJail::isPlainName($from) || !self::isCreatableName($to)) {
            return false;
        }
        $real = $this->jail->directory($dir);
        if ($real === null || @lstat($real . '/' . $from) === false) {
            return false;
        }
        // PHP has no rename that refuses to replace: check first, at the cost of a small race.
        $target = $real . '/' . $to;
        if (@lstat($target) !== false) {
            return false;
        }
        return @rename($real . '/' . $from, $target);
    }

    /**
     * Stores an uploaded file: it is moved to a temporary name beside the target and renamed
     * over the target only when it is whole, so the target is either the old file or the new one.
     *
     * @param array<string, mixed> $upload one entry of $_FILES
     */
    public function store(string $dirField, string $fileName, array $upload, string &$currentDir): bool
    {
        $dir = $this->directory($dirField);
        if ($dir === null || !self::isCreatableName($fileName)) {
            return false;
        }
        $real = $this->jail->directory($dir);
        if ($real === null || !is_uploaded_file($upload['tmp_name'])) {
            return false;
        }
        $target = $real . '/' . $fileName;
        $existing = @lstat($target);
        if ($existing !== false) {
            if (PlumoxaJail::isDirectory($existing['mode'])) {
                return false;
            }
            // A link is replaced by the upload, never written through; one that leads to a
            // directory inside the root stands for that directory, so the upload fails like it would on it.
            if (PlumoxaJail::isLink($existing['mode'])) {
                $resolved = $this->jail->resolve(PlumoxaJail::join($dir, $fileName));
                if ($resolved !== null && PlumoxaJail::isDirectory($resolved['stat']['mode'])) {
                    return false;
                }
            }
        }
        $temporary = self::createTemporary($real);
        if ($temporary === null) {
            return false;
        }
        // Removed however the script ends, unless it became the target.
        $committed = false;
        register_shutdown_function(function () use ($temporary, &$committed): void {
            if (!$committed) {
                @unlink($temporary);
            }
        });
        if (!@move_uploaded_file($upload['tmp_name'], $temporary)
            || @filesize($temporary) !== (int) $upload['size']) {
            return false;
        }
        if ($existing !== false && PlumoxaJail::isRegular($existing['mode'])
            && !@chmod($temporary, $existing['mode'] & 0777)) {
            return false;
        }
        if (!self::syncFile($temporary) || !@rename($temporary, $target)) {
            return false;
        }
        $committed = true;
        $currentDir = $dir;
        return true;
    }

    private static function createTemporary(string $directory): ?string
    {
        for ($attempt = 0; $attempt < 8; ++$attempt) {
            $path = $directory . '/.plumoxa-upload-' . bin2hex(random_bytes(8));
            // Mode "x" creates the file exclusively and never follows a link of that name.
            $handle = @fopen($path, 'x');
            if ($handle !== false) {
                fclose($handle);
                return $path;
            }
        }
        return null;
    }

    private static function syncFile(string $path): bool
    {
        if (!function_exists('fsync')) {
            return true;
        }
        $handle = @fopen($path, 'rb');
        if ($handle === false) {
            return false;
        }
        $synced = fsync($handle);
        fclose($handle);
        return $synced;
    }
}

/** One request: checks the credentials, runs the command and writes the reply. */
final class PlumoxaServer
{
    private PlumoxaCommands $commands;

    public function __construct()
    {
        $jail = new PlumoxaJail(PLUMOXA_ROOT);
        $startDir = PlumoxaJail::normalize(PLUMOXA_START_DIR, '/');
        if ($startDir !== null && (strncmp(PLUMOXA_START_DIR, '/', 1) !== 0 || $jail->directory($startDir) === null
            || !plumoxa_can_carry($startDir))) {
            $startDir = null;
        }
        $this->commands = new PlumoxaCommands($jail, $startDir);
    }

    public function handle(): void
    {
        // Paths are checked afresh on every request, never from PHP's path caches.
        clearstatcache(true);
        if (($_SERVER['REQUEST_METHOD'] ?? '') !== 'POST') {
            header('Content-Type: text/plain; charset=utf-8');
            echo "plumoxa.php: a Plumoxa file store; its protocol is spoken by POST.\n";
            return;
        }
        $contentType = strtolower((string) ($_SERVER['CONTENT_TYPE'] ?? ''));
        $isForm = strncmp($contentType, 'application/x-www-form-urlencoded', 33) === 0;
        $isMultipart = strncmp($contentType, 'multipart/form-data', 19) === 0;
        if (!$isForm && !$isMultipart) {
            self::badRequest('the body must be a form or multipart/form-data');
            return;
        }
        $fields = self::requiredFields();
        if ($fields === null) {
            self::badRequest('user, password, dir and cmd are required');
            return;
        }
        $upload = $isMultipart ? ($_FILES['file'] ?? null) : null;
        if ($upload !== null && (!is_array($upload) || !is_string($upload['name'] ?? null) || $fields['cmd'] !== 'STOR')) {
            self::badRequest('the multipart body is malformed');
            return;
        }
        if ($upload !== null && $upload['error'] === UPLOAD_ERR_PARTIAL) {
            self::badRequest('the multipart body did not arrive whole');
            return;
        }

        $reply = new PlumoxaReply($fields['cmd']);
        if (!self::loginMatches($fields['user'], $fields['password'])) {
            $reply->loginFailed();
            self::sendReply($reply->text());
            return;
        }
        if ($upload !== null) {
            $this->store($fields, $upload, $reply);
            return;
        }
        $outcome = $this->commands->run($fields);
        if (!$outcome['succeeded']) {
            $reply->commandFailed();
            self::sendReply($reply->text());
            return;
        }
        if ($outcome['retr'] !== null) {
            self::sendRetr($reply, $outcome['currentDir'], $outcome['retr']['file'], $outcome['retr']['size']);
            return;
        }
        $reply->commandSucceeded($outcome['currentDir'], count($outcome['lists']));
        foreach ($outcome['lists'] as $block) {
            $reply->addListBlock($block['path'], $block['lines']);
        }
        self::sendReply($reply->text());
    }

    private function store(array $fields, array $upload, PlumoxaReply $reply): void
    {
        // PHP keeps the submitted file name whole in full_path (8.1 on) and strips any path from name.
        $fileName = is_string($upload['full_path'] ?? null) ? $upload['full_path'] : $upload['name'];
        $currentDir = '';
        $stored = $upload['error'] === UPLOAD_ERR_OK
            && $this->commands->store($fields['dir'], $fileName, $upload, $currentDir);
        if ($stored) {
            $reply->commandSucceeded($currentDir, 0);
        } else {
            $reply->commandFailed();
        }
        self::sendReply($reply->text());
    }

    /** @return array<string, string>|null */
    private static function requiredFields(): ?array
    {
        $fields = [];
        foreach (['user', 'password', 'dir', 'cmd'] as $name) {
            if (!isset($_POST[$name]) || !is_string($_POST[$name])) {
                return null;
            }
            $fields[$name] = $_POST[$name];
        }
        foreach (['param0', 'param1'] as $name) {
            if (isset($_POST[$name]) && is_string($_POST[$name])) {
                $fields[$name] = $_POST[$name];
            }
        }
        return $fields;
    }

    // Both comparisons always run and take the same time whatever the text: digests of equal
    // length for the user, password_verify for the password.
    private static function loginMatches(string $user, string $password): bool
    {
        $userMatches = hash_equals(hash('sha256', PLUMOXA_USER), hash('sha256', $user));
        $passwordMatches = password_verify($password, PLUMOXA_PASSWORD_HASH);
        return ($userMatches & $passwordMatches) === 1;
    }

    private static function sendReply(string $text): void
    {
        header('Content-Type: text/html; charset=utf-8');
        echo $text;
    }

    /**
     * The file as one retr block, read and encoded piece by piece so that memory does not grow
     * with the file. The length is announced up front: a file that shrinks while it is sent ends
     * the reply short of it, which the client sees as a failed transfer.
     *
     * @param resource $file
     */
    private static function sendRetr(PlumoxaReply $reply, string $currentDir, $file, int $size): void
    {
        $reply->commandSucceeded($currentDir, 1);
        $reply->openRetrBlock();
        $closing = PlumoxaReply::retrClosing();
        @set_time_limit(0);
        @ini_set('zlib.output_compression', '0');
        while (ob_get_level() > 0) {
            ob_end_clean();
        }
        header('Content-Type: text/html; charset=utf-8');
        header('Content-Length: ' . (strlen($reply->text()) + intdiv($size + 2, 3) * 4 + strlen($closing)));
        echo $reply->text();
        $remaining = $size;
        while ($remaining > 0) {
            $piece = '';
            $wanted = min(PLUMOXA_RETR_PIECE_BYTES, $remaining);
            while (strlen($piece) < $wanted) {
                $read = fread($file, $wanted - strlen($piece));
                if ($read === false || $read === '') {
                    fclose($file);
                    return;
                }
                $piece .= $read;
            }
            $remaining -= strlen($piece);
            echo base64_encode($piece);
            flush();
        }
        fclose($file);
        echo $closing;
    }

    private static function badRequest(string $reason): void
    {
        http_response_code(400);
        header('Connection: close');
        header('Content-Type: text/plain; charset=utf-8');
        echo 'Bad request: ' . $reason . "\n";
    }
}

(new PlumoxaServer())->handle();
