# PowerShell completion for sorvane-cli: Tab completes its options, the values
# of --type, --case and --format, and file names after --dictionary and
# --word-list. Load it in each session, best from your profile ($PROFILE); as
# the installer puts it:
#     . "$env:ProgramFiles\Sorvane\sorvane-cli-completion.ps1"
# Its name is not sorvane-cli.ps1, which PowerShell would run in place of the
# program beside it.

Register-ArgumentCompleter -Native -CommandName 'sorvane-cli', 'sorvane-cli.exe' -ScriptBlock {
    param($wordToComplete, $commandAst, $cursorPosition)

    # One entry an option of `sorvane-cli --help`: Long ends in "=" when the
    # option takes a value, in "[=]" when its value is optional and then only
    # joined by "=". tests/packaging/completion_options_test.py holds every
    # completion script of this folder to the program's --help.
    $options = @(
        @{ Short = '-l'; Long = '--length='; Text = 'characters per password, 3 to 64' }
        @{ Short = '-t'; Long = '--type='; Text = 'kind of characters' }
        @{ Short = '-c'; Long = '--case='; Text = 'case of the letters' }
        @{ Long = '--symbols[=]'; Text = 'add symbols: =SET, or +-./:_' }
        @{ Long = '--include='; Text = 'add these characters' }
        @{ Long = '--exclude='; Text = 'leave these characters out' }
        @{ Long = '--exclude-similar'; Text = 'leave out the look-alikes 0Ooli1Ij' }
        @{ Long = '--allow-similar'; Text = 'let the look-alikes in' }
        @{ Long = '--exclude-repeats'; Text = 'no character twice within five positions' }
        @{ Long = '--allow-repeats'; Text = 'let characters repeat' }
        @{ Long = '--no-repeats'; Text = 'no character twice anywhere in the password' }
        @{ Long = '--weighted'; Text = 'letters and digits weighted as the Windows program draws them' }
        @{ Long = '--min-lower='; Text = 'at least N small letters' }
        @{ Long = '--min-upper='; Text = 'at least N capitals' }
        @{ Long = '--min-digits='; Text = 'at least N digits' }
        @{ Long = '--min-symbols='; Text = 'at least N symbols' }
        @{ Long = '--every-kind'; Text = 'at least one of each kind in play' }
        @{ Long = '--words='; Text = 'a passphrase of N words, 1 to 32' }
        @{ Long = '--word-list='; Text = 'the words of a passphrase, one a line' }
        @{ Long = '--separator='; Text = 'between the words' }
        @{ Long = '--capitalize'; Text = 'each word with a capital first letter' }
        @{ Long = '--min-bits='; Text = 'the fewest characters or words for B bits' }
        @{ Short = '-n'; Long = '--count='; Text = 'how many passwords, 1 to 10000000' }
        @{ Short = '-d'; Long = '--dictionary='; Text = 'words the passwords must not be' }
        @{ Short = '-f'; Long = '--format='; Text = 'output format' }
        @{ Short = '-v'; Long = '--verbose'; Text = 'tell how many passwords and their least information' }
        @{ Short = '-h'; Long = '--help'; Text = 'show the help and exit' }
        @{ Long = '--version'; Text = 'show the version and exit' }
    )
    $sets = @{
        '--type' = 'digits', 'hex', 'letters', 'mixed'
        '--case' = 'lower', 'upper', 'mixed'
        '--format' = 'plain', 'tsv', 'json'
    }
    $fileOptions = '--dictionary', '--word-list'

    # The values of an option (its long name) that start with $prefix, each
    # written after $lead.
    $valuesOf = {
        param([string]$option, [string]$prefix, [string]$lead)
        if ($fileOptions -contains $option) {
            foreach ($file in [System.Management.Automation.CompletionCompleters]::CompleteFilename($prefix)) {
                [System.Management.Automation.CompletionResult]::new(
                    $lead + $file.CompletionText, $file.ListItemText, $file.ResultType, $file.ToolTip)
            }
        } elseif ($sets.ContainsKey($option)) {
            foreach ($value in $sets[$option]) {
                if ($value.StartsWith($prefix, [StringComparison]::Ordinal)) {
                    [System.Management.Automation.CompletionResult]::new(
                        $lead + $value, $value, 'ParameterValue', $value)
                }
            }
        }
    }

    $word = [string]$wordToComplete
    if ($word -match '^(--[^=]+)=(.*)$') {
        & $valuesOf $Matches[1] $Matches[2] ($Matches[1] + '=')
        return
    }
    # A value in the word after its option, short or long ("-t hex").
    $previous = ''
    foreach ($element in $commandAst.CommandElements) {
        if ($element.Extent.EndOffset -lt $cursorPosition) {
            $previous = $element.Extent.Text
        }
    }
    foreach ($option in $options) {
        $long = $option.Long.TrimEnd('=')
        if ($option.Long.EndsWith('=') -and ($previous -ceq $option.Short -or $previous -ceq $long)) {
            & $valuesOf $long $word ''
            return
        }
    }
    if ($word -ne '' -and -not $word.StartsWith('-')) {
        return
    }
    foreach ($option in $options) {
        # "--symbols" stands alone: a set must be joined to it by "=".
        foreach ($name in @($option.Short, $option.Long.Replace('[=]', ''))) {
            if ($name -and $name.StartsWith($word, [StringComparison]::Ordinal)) {
                [System.Management.Automation.CompletionResult]::new(
                    $name, $name, 'ParameterName', $option.Text)
            }
        }
    }
}
